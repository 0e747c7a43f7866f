// Browsing in the configuration dialog with the real open-file dialog. The
// library's call to it passes through a recorder put into the common dialogs'
// export table.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "plugin/exports.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

OPENFILENAMEA g_seen;
std::string g_filter, g_file;
BOOL(WINAPI* g_open)(OPENFILENAMEA*) = nullptr;

BOOL WINAPI RecordOpen(OPENFILENAMEA* ofn) {
  memcpy(&g_seen, ofn, ofn->lStructSize < sizeof g_seen ? ofn->lStructSize : sizeof g_seen);
  g_filter.clear();
  for (const char* f = ofn->lpstrFilter; *f; f += strlen(f) + 1) (g_filter += f) += '|';
  g_file = ofn->lpstrFile;
  return g_open(ofn);
}

// Points comdlg32's export GetOpenFileNameA at RecordOpen while it lives.
class OpenRecorder {
 public:
  OpenRecorder() : module_(LoadLibraryA("comdlg32.dll")) {
    BYTE* base = reinterpret_cast<BYTE*>(module_);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* ex = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + nt->OptionalHeader.DataDirectory[0].VirtualAddress);
    DWORD* names = reinterpret_cast<DWORD*>(base + ex->AddressOfNames);
    WORD* ordinals = reinterpret_cast<WORD*>(base + ex->AddressOfNameOrdinals);
    for (DWORD i = 0; i < ex->NumberOfNames; ++i)
      if (!strcmp(reinterpret_cast<char*>(base + names[i]), "GetOpenFileNameA"))
        slot_ = reinterpret_cast<DWORD*>(base + ex->AddressOfFunctions) + ordinals[i];
    if (!slot_) return;
    saved_ = *slot_;
    g_open = reinterpret_cast<decltype(g_open)>(base + saved_);
    // Addresses wrap around in 32 bits: any function is an offset from the base.
    Set(static_cast<DWORD>(reinterpret_cast<BYTE*>(RecordOpen) - base));
  }
  ~OpenRecorder() {
    if (slot_) Set(saved_);
    FreeLibrary(module_);
  }

 private:
  void Set(DWORD value) {
    DWORD old = 0;
    VirtualProtect(slot_, sizeof value, PAGE_READWRITE, &old);
    *slot_ = value;
    VirtualProtect(slot_, sizeof value, old, &old);
  }
  HMODULE module_;
  DWORD* slot_ = nullptr;
  DWORD saved_ = 0;
};

std::string Sjis(const wchar_t* text) {
  char out[256] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

TEST(ConfigBrowse, ProgramsGoInQuotesAndTheCurrentFolderStays) {
  TempFolder folder("tarnivel_browse");
  std::string spaced = folder.File("a b"), exe = spaced + "\\e.exe", quoted = "\"" + exe + "\"";
  ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
  ASSERT_TRUE(folder.Write("a b\\T.CNF", "") && folder.Write("a b\\e.exe", ""));
  OpenRecorder recorder;
  ASSERT_NE(nullptr, g_open);
  std::string settings = SettingsFilePath(), user = SettingsUserSection(), ini = folder.File("Tarnivel.ini");
  InitSettingsWith(folder.File("Tarnivel.dxl").c_str(), "tester");
  char cwd[MAX_PATH], now[MAX_PATH], stored[MAX_PATH];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const std::string cnfs = Sjis(L"環境登録ファイル (*.cnf)|*.cnf|すべてのファイル (*.*)|*.*|");
  const std::string exes = Sjis(L"プログラム (*.exe)|*.exe|すべてのファイル (*.*)|*.*|");
  struct {
    int button;
    const char* key;
    std::string chosen, edit, initial, filter;
  } cases[] = {
      {1104, "TodayCnf", spaced + "\\T.CNF", spaced + "\\T.CNF", "", cnfs},
      {1106, "Editor", exe, quoted, "", exes},
      {1108, "Program", exe, quoted, "", exes},
      {1108, "Program", exe, quoted, exe, exes},  // starts from the stored program, unquoted
  };
  for (auto& c : cases) {
    HWND dialog = nullptr;
    std::string edit;
    auto press = [&](HWND d) {
      dialog = d;
      return PostMessageA(GetDlgItem(d, c.button), BM_CLICK, 0, 0) != 0;
    };
    auto choose = [&](HWND d) {
      if (d == dialog) return false;
      SetDlgItemTextA(d, GetDlgItem(d, 0x480) ? 0x480 : 0x47C, c.chosen.c_str());  // edt1 or cmb13
      return PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK)) != 0;
    };
    auto keep = [&](HWND d) {
      if (d != dialog) return false;
      edit = DialogDriver::Text(d, c.button - 1);
      return PostMessageA(d, WM_COMMAND, IDOK, 0) != 0;
    };
    EXPECT_TRUE(DialogDriver::Run(IDC_USE_TODAY, [] { DrawExConfigure(nullptr); }, {press, choose, keep})) << c.button;
    GetPrivateProfileStringA("tester", c.key, "", stored, sizeof stored, ini.c_str());
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_TRUE(c.edit == edit && c.edit == stored) << c.button << ": edit " << edit << ", stored " << stored;
    EXPECT_STREQ(cwd, now) << c.button;
    EXPECT_EQ(c.initial, g_file) << c.button;
    EXPECT_EQ(c.filter, g_filter) << c.button;
    EXPECT_EQ((DWORD)(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR), g_seen.Flags) << c.button;
    EXPECT_TRUE(g_seen.lStructSize == 76 && g_seen.hwndOwner == dialog && g_seen.nMaxFile == 260 &&
                !g_seen.nFilterIndex && !g_seen.lpstrInitialDir && !g_seen.lpstrDefExt && !g_seen.lpfnHook)
        << c.button;
  }
  SetCurrentDirectoryA(cwd);
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  InitSettingsWith(settings.c_str(), user.c_str());
}

}  // namespace
