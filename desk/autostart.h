// Start with Windows: the value TarnivelDesk under the user's Run key.
#pragma once

// Whether the value names this copy of the program (a copy moved elsewhere
// leaves a value that does not).
bool StartsWithWindows();
// Writes the value for this copy, or removes it.
bool SetStartWithWindows(bool on);
