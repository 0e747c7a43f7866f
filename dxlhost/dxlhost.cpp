// dxlhost: a stand-in for the memo application that loads drawing extension
// libraries. Each command loads a library and drives its chips as a host does.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/about.h"
#include "dxlhost/commandhelpers.h"
#include "dxlhost/configure.h"
#include "dxlhost/deskshot.h"
#include "dxlhost/edit.h"
#include "dxlhost/menu.h"
#include "dxlhost/paint.h"
#include "soak/soak.h"

namespace {

void Usage() {
  fputs(
      "usage: dxlhost state LIBRARY [--memo TEXT] [--save-in FILE] [--save-out FILE]\n"
      "  Creates a chip from a memo text and a saved-data block (length word and\n"
      "  payload), updates it, asks for its saved data and frees it, printing\n"
      "  what the library did at each step.\n",
      stderr);
}

int RunStateCommand(int argc, char** argv) {
  if (argc < 1) {
    Usage();
    return 2;
  }
  const char* library = argv[0];
  const char* memo = "";
  const char* saveIn = nullptr;
  const char* saveOut = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--memo") && i + 1 < argc) memo = argv[++i];
    else if (!strcmp(argv[i], "--save-in") && i + 1 < argc) saveIn = argv[++i];
    else if (!strcmp(argv[i], "--save-out") && i + 1 < argc) saveOut = argv[++i];
    else {
      Usage();
      return 2;
    }
  }

  DxlApi api;
  if (!LoadDxlOrComplain(library, &api)) return 1;
  if (api.DrawExSpecification) {
    HostSpecRecord spec;
    memset(&spec, 0xCC, sizeof spec);
    int r = api.DrawExSpecification(&spec);
    printf("DrawExSpecification: %d (%ld, %ld, \"%s\", %ld, %ld, %ld)\n", r, (long)spec.value0,
           (long)spec.value4, spec.name, (long)spec.value60, (long)spec.value64, (long)spec.value68);
  }

  HostChip chip;
  HostChipInit(&chip, CreateChipWindow(160, 120, false));
  HostChipSetMemo(&chip, memo);
  if (saveIn) {
    std::vector<unsigned char> block;
    if (!ReadWholeFile(saveIn, &block)) {
      fprintf(stderr, "dxlhost: cannot read %s\n", saveIn);
      return 1;
    }
    HostChipSetSaveData(&chip, block.data(), block.size());
  }
  printf("memo text: \"%s\"\n", memo);
  printf("saved data in: %s\n", HexBytes(HostChipSaveBytes(&chip)).c_str());

  int r = HostCreate(&api, &chip);
  printf("InitializeChip: %d\n", r);
  if (!r) return 1;
  PrintChipState("after InitializeChip", chip.chip);
  printf("Update: %d\n", HostUpdate(&api, &chip));
  PrintChipState("after Update", chip.chip);
  if (api.CalcDefaultRect) {
    SIZE size = {0, 0};
    r = api.CalcDefaultRect(chip.chip, chip.window, &size);
    printf("CalcDefaultRect: %d (%ld x %ld)\n", r, size.cx, size.cy);
  }
  r = HostGetSaveData(&api, &chip);
  std::vector<unsigned char> saved = HostChipSaveBytes(&chip);
  printf("GetSaveData: %d, block of %u bytes: %s\n", r, (unsigned)saved.size(), HexBytes(saved).c_str());
  if (saveOut && !WriteWholeFile(saveOut, saved)) {
    fprintf(stderr, "dxlhost: cannot write %s\n", saveOut);
    return 1;
  }
  printf("UnInitializeChip: %d\n", HostDestroy(&api, &chip));
  HostChipFree(&chip);
  UnloadDxl(&api);
  return 0;
}

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
};

const Command kCommands[] = {
    {"state", RunStateCommand},
    {"paint", RunPaintCommand},
    {"soak", RunSoakCommand},
    {"menu", RunMenuCommand},
    {"about", RunAboutCommand},
    {"configure", RunConfigureCommand},
    {"edit", RunEditCommand},
    {"desk-shot", RunDeskShotCommand},
};

// The memo application is not DPI-aware, and neither is its stand-in: the
// system scales its windows. Where the process's awareness is fixed already
// (some systems take a program that does not say for an aware one), the
// thread that makes the windows says it for itself.
void DeclareDpiUnaware() {
  typedef BOOL(WINAPI * SetProcessProc)(HANDLE);
  typedef HANDLE(WINAPI * SetThreadProc)(HANDLE);
  const HANDLE unaware = reinterpret_cast<HANDLE>(-1);  // DPI_AWARENESS_CONTEXT_UNAWARE
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  const auto process = reinterpret_cast<SetProcessProc>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  const auto thread = reinterpret_cast<SetThreadProc>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
  if (process && process(unaware)) return;
  if (thread) thread(unaware);
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  DeclareDpiUnaware();
  if (argc >= 2) {
    for (const Command& c : kCommands) {
      if (!strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
    }
  }
  fputs("usage: dxlhost COMMAND ...   commands:", stderr);
  for (const Command& c : kCommands) fprintf(stderr, " %s", c.name);
  fputs("\n", stderr);
  Usage();
  return 2;
}
