// Counting what a loaded library creates and releases, through replaced
// entries of its import address table, and failing chosen calls on purpose.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum SoakKind {
  kSoakFont,
  kSoakBrush,
  kSoakPen,
  kSoakBitmap,
  kSoakDc,
  kSoakSelection,
  kSoakWindow,
  kSoakMenu,
  kSoakWindowProc,
  kSoakHook,
  kSoakGlobalFixed,
  kSoakGlobalMovable,
  kSoakGlobalLock,
  kSoakLocalFixed,
  kSoakLocalMovable,
  kSoakLocalLock,
  kSoakFile,
  kSoakFind,
  kSoakProcess,
  kSoakThread,
  kSoakKindCount
};

struct SoakCount {
  long created;
  long released;
  long live;
  long peak;
  long foreign;  // released, but not created since the counts were reset
};

const char* SoakKindName(int kind);

// Replaces the module's imports of every counted call; returns how many.
int SoakInstallHooks(HMODULE module);

// Forgets every count, tracked object, call count and recorded message.
void SoakReset();
// Windows, menus and window procedures that went away with their parent
// window or menu count as released from here on.
void SoakSettle();
const SoakCount* SoakCounts();
// A global block the library handed to the host (a saved-data block): it is
// the host's from now on.
void SoakHandOver(HGLOBAL block);

// The calls that can be made to fail, in a fixed order.
int SoakFailableCount();
const char* SoakFailableName(int i);
// Whether the library imports it.
bool SoakFailableImported(int i);
// The Nth call of `name` from now on fails as the system would; false for
// an unknown name. n = 0 turns fault injection off. "CALL@NAME" counts only
// the calls on files (paths, or handles opened here) whose path holds NAME.
bool SoakSetFault(const char* name, long n);
// Calls of the faulted function made since SoakSetFault, and whether the
// failure happened.
long SoakFaultCalls();
// Ends fault injection for the rest of the case, keeping what it recorded.
void SoakEndFault();
bool SoakFaultFired();

// Message boxes and beeps the library produced since the reset; message
// boxes are answered at once with IDOK.
const std::vector<std::string>& SoakMessages();
long SoakBeeps();
