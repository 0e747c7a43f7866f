#include "dxlhost/edit.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "dxlhost/capture.h"
#include "dxlhost/commandhelpers.h"

namespace {

void EditUsage() {
  fputs(
      "usage: dxlhost edit LIBRARY [--memo TEXT] [--save-in FILE] [--save-out FILE]\n"
      "         [--shot FILE.png] [--press ok|cancel]\n"
      "  Opens the chip settings dialog through EditHelper on the memo text and the\n"
      "  saved-data block (length word and payload), as a host does, and prints\n"
      "  what changed. --shot writes a picture of the dialog as shown; --press\n"
      "  then presses OK or Cancel instead of waiting for the user.\n",
      stderr);
}

// The payload bytes the length word declares, as far as the block holds them.
std::vector<unsigned char> PayloadOf(const std::vector<unsigned char>& block) {
  if (block.size() <= 4) return std::vector<unsigned char>();
  size_t n = block.size() - 4;
  if (SaveDataLength(block) < n) n = SaveDataLength(block);
  return std::vector<unsigned char>(block.begin() + 4, block.begin() + 4 + n);
}

void PrintChanges(const std::string& memoBefore, const std::string& memoAfter,
                  const std::vector<unsigned char>& before, const std::vector<unsigned char>& after) {
  std::string changed;
  if (memoBefore != memoAfter) changed += " memo-text";
  if (SaveDataLength(before) != SaveDataLength(after)) changed += " saveLength";
  std::vector<unsigned char> a = PayloadOf(before), b = PayloadOf(after);
  if (SaveDataLength(before) >= 24 && SaveDataLength(after) >= 24) {
    static const struct {
      const char* name;
      size_t at, size;
    } fields[] = {{"todayColor", 4, 4},     {"sundayColor", 8, 4},    {"saturdayColor", 12, 4},
                  {"holidayColor", 16, 4},  {"scheduleStyle", 20, 1}, {"viewFlags", 21, 1}};
    for (const auto& f : fields)
      if (a.size() >= f.at + f.size && b.size() >= f.at + f.size && memcmp(&a[f.at], &b[f.at], f.size))
        changed += std::string(" ") + f.name;
  } else if (a != b) {
    changed += " payload";
  }
  printf("changed:%s\n", changed.empty() ? " nothing" : changed.c_str());
}

// Drives the dialog from its own thread for --shot and --press.
struct EditDriver {
  const char* shot;
  int press;  // 0 none, IDOK, IDCANCEL
  int ticks;
  int seenAt;
  bool shotTaken;
  bool pressed;
};
EditDriver g_driver;

struct FoundWindows {
  HWND dialog;
  HWND box;
};

BOOL CALLBACK FindDialogs(HWND window, LPARAM param) {
  FoundWindows* found = reinterpret_cast<FoundWindows*>(param);
  char cls[16];
  if (!IsWindowVisible(window) || !GetClassNameA(window, cls, sizeof cls) || strcmp(cls, "#32770")) return TRUE;
  // The settings dialog has the year field; a message box does not.
  if (GetDlgItem(window, 1201)) found->dialog = window;
  else found->box = window;
  return TRUE;
}

BOOL CALLBACK PrintBoxText(HWND child, LPARAM) {
  char cls[16], text[256];
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  if (!lstrcmpiA(cls, "Static") && text[0]) {
    printf("message: %s\n", text);
    return FALSE;
  }
  return TRUE;
}

void CALLBACK EditDriverTick(HWND, UINT, UINT_PTR, DWORD) {
  EditDriver* d = &g_driver;
  ++d->ticks;
  FoundWindows found = {nullptr, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialogs, reinterpret_cast<LPARAM>(&found));
  if (found.box) {
    EnumChildWindows(found.box, PrintBoxText, 0);
    PostMessageA(found.box, WM_COMMAND, IDOK, 0);
    return;
  }
  if (!found.dialog) return;
  if (!d->seenAt) {
    d->seenAt = d->ticks;
    RedrawWindow(found.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  // A few ticks for the display to show what was painted.
  if (d->ticks < d->seenAt + 6) return;
  if (d->shot && !d->shotTaken) {
    d->shotTaken = true;
    RECT area;
    GetWindowRect(found.dialog, &area);
    if (WriteScreenPng(d->shot, area)) printf("%s: the dialog as shown\n", d->shot);
    else fprintf(stderr, "dxlhost edit: cannot capture the dialog into %s\n", d->shot);
  }
  if (!d->press) return;
  // A refused OK leaves the dialog open: it is then cancelled.
  int button = d->pressed ? IDCANCEL : d->press;
  d->pressed = true;
  SendMessageA(GetDlgItem(found.dialog, button), BM_CLICK, 0, 0);
}

}  // namespace

int RunEditCommand(int argc, char** argv) {
  if (argc < 1) {
    EditUsage();
    return 2;
  }
  const char* library = argv[0];
  const char* memo = "";
  const char* saveIn = nullptr;
  const char* saveOut = nullptr;
  memset(&g_driver, 0, sizeof g_driver);
  for (int i = 1; i < argc; ++i) {
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!v) {
      EditUsage();
      return 2;
    }
    if (!strcmp(argv[i], "--memo")) memo = v;
    else if (!strcmp(argv[i], "--save-in")) saveIn = v;
    else if (!strcmp(argv[i], "--save-out")) saveOut = v;
    else if (!strcmp(argv[i], "--shot")) g_driver.shot = v;
    else if (!strcmp(argv[i], "--press") && !strcmp(v, "ok")) g_driver.press = IDOK;
    else if (!strcmp(argv[i], "--press") && !strcmp(v, "cancel")) g_driver.press = IDCANCEL;
    else {
      EditUsage();
      return 2;
    }
    ++i;
  }

  DxlApi api;
  if (!LoadDxlOrComplain(library, &api)) return 1;
  if (!api.EditHelper) {
    fprintf(stderr, "dxlhost edit: %s has no EditHelper\n", library);
    UnloadDxl(&api);
    return 1;
  }
  HostChip chip;
  HostChipInit(&chip, nullptr);
  HostChipSetMemo(&chip, memo);
  if (saveIn) {
    std::vector<unsigned char> block;
    if (!ReadWholeFile(saveIn, &block)) {
      fprintf(stderr, "dxlhost edit: cannot read %s\n", saveIn);
      HostChipFree(&chip);
      UnloadDxl(&api);
      return 1;
    }
    HostChipSetSaveData(&chip, block.data(), block.size());
  }
  const std::string memoBefore = HostChipMemo(&chip);
  const std::vector<unsigned char> before = HostChipSaveBytes(&chip);
  printf("memo text: \"%s\"\n", memoBefore.c_str());
  printf("saved data: %s\n", HexBytes(before).c_str());

  UINT_PTR timer = (g_driver.shot || g_driver.press) ? SetTimer(nullptr, 0, 50, EditDriverTick) : 0;
  std::vector<unsigned char> record;
  int result = HostEditChip(&api, &chip, nullptr, &record);
  if (timer) KillTimer(nullptr, timer);
  printf("EditHelper: %d\n", result);
  // After Cancel the host keeps its own block; what the record holds shows
  // whether the library wrote to it all the same.
  if (result != 1) printf("record's saved data: %s\n", HexBytes(record).c_str());

  const std::string memoAfter = HostChipMemo(&chip);
  const std::vector<unsigned char> after = HostChipSaveBytes(&chip);
  printf("memo text: \"%s\"\n", memoAfter.c_str());
  printf("saved data: %s\n", HexBytes(after).c_str());
  PrintChanges(memoBefore, memoAfter, before, after);
  int status = 0;
  if (saveOut && !WriteWholeFile(saveOut, after)) {
    fprintf(stderr, "dxlhost edit: cannot write %s\n", saveOut);
    status = 1;
  }
  HostChipFree(&chip);
  UnloadDxl(&api);
  return status;
}
