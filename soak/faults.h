// Failing chosen calls of a library whose imports are replaced
// (SoakInstallHooks) on purpose.
#pragma once

// The calls that can be made to fail, in a fixed order.
int SoakFailableCount();
const char* SoakFailableName(int i);
// Whether the library imports it.
bool SoakFailableImported(int i);
// The Nth call of `name` from now on fails as the system would; false for
// an unknown name. n = 0 turns fault injection off.
bool SoakSetFault(const char* name, long n);
// Calls of the faulted function made since SoakSetFault, and whether the
// failure happened.
long SoakFaultCalls();
// Ends fault injection for the rest of the case, keeping what it recorded.
void SoakEndFault();
bool SoakFaultFired();
