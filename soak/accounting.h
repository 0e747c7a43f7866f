// Counting what a loaded library creates and releases, through replaced
// entries of its import address table.
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

// Message boxes and beeps the library produced since the reset; message
// boxes are answered at once with IDOK.
const std::vector<std::string>& SoakMessages();
long SoakBeeps();
