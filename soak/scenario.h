// The soak's side of a host: chips made and checked as dxlhost's commands do,
// and the scenarios that drive them.
#pragma once

#include <windows.h>

#include <string>

#include "dxlhost/paint.h"
#include "host/loader.h"

// A memory DC with a 32-bit picture that every chip fits in.
struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
};

bool CanvasOpen(Canvas* c);
void CanvasClose(Canvas* c);

struct Soak {
  DxlApi api;
  std::string folder;      // the temporary folder, with a trailing backslash
  std::string recordFile;  // what the date command writes
  Canvas canvas;
  HostChipPeek reference;  // a chip of the check options after its Update
  std::string problem;     // a wrong result a scenario saw
  std::string wrong;       // a result that is wrong even while a call fails
};

void Problem(Soak* s, const std::string& what);
// Success reported for work that was not done.
void Wrong(Soak* s, const std::string& what);

void DestroyChip(Soak* s, HostChip* chip);
// A chip as the paint command makes it; on failure nothing is left behind.
bool MakeChip(Soak* s, const PaintOptions& o, HostChip* chip);
PaintOptions ChipOptions(const char* memo, int view, bool english, int style);
// The options of the check after every case: February and March 1998.
PaintOptions CheckOptions();
// Once the failing call works again, an Update to the check's month must
// give the chip exactly the state of a fresh chip.
void CheckChipRecovers(Soak* s, HostChip* chip);

struct Scenario {
  const char* name;
  long count;  // one pass
  const char* what;
  bool (*run)(Soak* s, long count);
};

extern const Scenario kScenarios[];
extern const int kScenarioCount;
