// Programs chosen in the configuration dialog, with the real open-file
// dialog, whose export the test points at a recorder of the record the
// library passes.
#include "config_fixture.h"

using namespace configtest;

namespace {

OPENFILENAMEA g_seen;
std::string g_patterns, g_file;
BOOL(WINAPI* g_open)(OPENFILENAMEA*) = nullptr;

BOOL WINAPI RecordOpen(OPENFILENAMEA* ofn) {
  memcpy(&g_seen, ofn, ofn->lStructSize < sizeof g_seen ? ofn->lStructSize : sizeof g_seen);
  g_patterns.clear();
  for (const char* f = ofn->lpstrFilter; *f; f += strlen(f) + 1) {
    f += strlen(f) + 1;  // past the description to its patterns
    if (!*f) break;
    (g_patterns += f) += '|';
  }
  g_file = ofn->lpstrFile;
  return g_open(ofn);
}

// Points comdlg32's export of GetOpenFileNameA at RecordOpen, or back at
// g_open; null when there is no such export.
DWORD* PointOpenFileNameAt(BYTE* base, void* function) {
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  auto* ex = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + nt->OptionalHeader.DataDirectory[0].VirtualAddress);
  const DWORD* names = reinterpret_cast<DWORD*>(base + ex->AddressOfNames);
  for (DWORD i = 0; i < ex->NumberOfNames; ++i) {
    if (strcmp(reinterpret_cast<char*>(base + names[i]), "GetOpenFileNameA")) continue;
    DWORD* slot = reinterpret_cast<DWORD*>(base + ex->AddressOfFunctions) +
                  reinterpret_cast<WORD*>(base + ex->AddressOfNameOrdinals)[i];
    DWORD old = 0;
    if (!g_open) g_open = reinterpret_cast<decltype(g_open)>(base + *slot);
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = static_cast<DWORD>(static_cast<BYTE*>(function) - base);  // wraps around in 32 bits
    VirtualProtect(slot, sizeof *slot, old, &old);
    return slot;
  }
  return nullptr;
}

TEST_F(ConfigDialog, ProgramsGoInQuotesAndTheCurrentFolderStays) {
  std::string spaced = folder_.File("a b"), exe = spaced + "\\e.exe", quoted = "\"" + exe + "\"";
  ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
  ASSERT_TRUE(folder_.Write("a b\\T.CNF", "") && folder_.Write("a b\\e.exe", ""));
  BYTE* comdlg = reinterpret_cast<BYTE*>(LoadLibraryA("comdlg32.dll"));
  ASSERT_TRUE(PointOpenFileNameAt(comdlg, reinterpret_cast<void*>(RecordOpen)));
  char now[MAX_PATH];
  struct {
    int button;
    const char* key;
    std::string chosen, edit, initial, patterns;
  } cases[] = {
      {1104, "TodayCnf", spaced + "\\T.CNF", spaced + "\\T.CNF", "", "*.cnf|*.*|"},
      {1106, "Editor", exe, quoted, "", "*.exe|*.*|"},
      {1108, "Program", exe, quoted, "", "*.exe|*.*|"},
      {1108, "Program", exe, quoted, exe, "*.exe|*.*|"},  // from the stored program, unquoted
  };
  for (auto& c : cases) {
    HWND dialog = nullptr;
    std::string edit;
    auto choose = [&](HWND d) {
      if (GetDlgItem(d, IDC_USE_TODAY)) return false;
      SetDlgItemTextA(d, GetDlgItem(d, 0x480) ? 0x480 : 0x47C, c.chosen.c_str());  // edt1 or cmb13
      return PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK)) != 0;
    };
    auto keep = [&](HWND d) {
      edit = ItemText(dialog = d, c.button - 1);
      return GetDlgItem(d, IDC_USE_TODAY) && PostMessageA(d, WM_COMMAND, IDOK, 0);
    };
    RunDialog({Press(c.button), choose, keep});
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_TRUE(c.edit == edit && c.edit == Stored(c.key)) << c.button << ": " << edit << ", " << Stored(c.key);
    EXPECT_EQ(savedCwd_, now) << c.button;
    EXPECT_EQ(c.initial, g_file) << c.button;
    EXPECT_EQ(c.patterns, g_patterns) << c.button;
    EXPECT_EQ((DWORD)(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR), g_seen.Flags) << c.button;
    EXPECT_TRUE(g_seen.lStructSize == 76 && g_seen.hwndOwner == dialog && g_seen.nMaxFile == 260 &&
                !g_seen.nFilterIndex && !g_seen.lpstrInitialDir && !g_seen.lpstrDefExt && !g_seen.lpfnHook)
        << c.button;
  }
  PointOpenFileNameAt(comdlg, reinterpret_cast<void*>(g_open));
  FreeLibrary(reinterpret_cast<HMODULE>(comdlg));
}

}  // namespace
