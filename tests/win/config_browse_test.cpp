// Browsing in the configuration dialog: what the open-file dialog is given,
// what the chosen path becomes in the edit, and the host's current folder.
// The real open-file dialog runs; the library's call to it passes through a
// recorder patched into the common dialogs' export.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

// Points a module's export at a hook, so that GetProcAddress finds the hook;
// the export is put back when the patch goes.
class ExportPatch {
 public:
  ExportPatch(const char* dll, const char* name, void* hook) : module_(LoadLibraryA(dll)) {
    BYTE* base = reinterpret_cast<BYTE*>(module_);
    if (!base) return;
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const IMAGE_EXPORT_DIRECTORY* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const DWORD* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const WORD* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    DWORD* functions = reinterpret_cast<DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
      if (strcmp(reinterpret_cast<const char*>(base + names[i]), name) != 0) continue;
      slot_ = &functions[ordinals[i]];
      saved_ = *slot_;
      original_ = base + saved_;
      // Addresses wrap around in 32 bits, so any hook is an offset from the base.
      Write(static_cast<DWORD>(reinterpret_cast<BYTE*>(hook) - base));
      return;
    }
  }
  ~ExportPatch() {
    if (slot_) Write(saved_);
    if (module_) FreeLibrary(module_);
  }
  ExportPatch(const ExportPatch&) = delete;
  ExportPatch& operator=(const ExportPatch&) = delete;
  void* original() const { return original_; }

 private:
  void Write(DWORD value) {
    DWORD old = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
  }

  HMODULE module_;
  DWORD* slot_ = nullptr;
  DWORD saved_ = 0;
  void* original_ = nullptr;
};

// What the library handed to GetOpenFileNameA.
struct OpenRecord {
  int calls = 0;
  OPENFILENAMEA ofn;
  std::string filter, title, file;
  std::string folderBefore;  // the current folder when the dialog was called
};
OpenRecord g_record;
BOOL(WINAPI* g_realOpen)(OPENFILENAMEA*) = nullptr;

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  return folder;
}

BOOL WINAPI RecordOpen(OPENFILENAMEA* ofn) {
  ++g_record.calls;
  memset(&g_record.ofn, 0, sizeof g_record.ofn);
  memcpy(&g_record.ofn, ofn, ofn->lStructSize < sizeof g_record.ofn ? ofn->lStructSize : sizeof g_record.ofn);
  g_record.filter.clear();
  for (const char* f = ofn->lpstrFilter; f && *f; f += strlen(f) + 1) g_record.filter.append(f, strlen(f) + 1);
  g_record.title = ofn->lpstrTitle ? ofn->lpstrTitle : "<null>";
  g_record.file = ofn->lpstrFile ? ofn->lpstrFile : "<null>";
  g_record.folderBefore = CurrentFolder();
  return g_realOpen(ofn);
}

std::string Sjis(const wchar_t* text) {
  char out[512];
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

std::string ItemText(HWND dialog, int id) {
  char text[1024] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool IsConfigDialog(HWND d) { return GetDlgItem(d, 1101) && GetDlgItem(d, 1108); }

typedef DialogDriver::Until DialogStep;

class ConfigBrowse : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    savedPath_ = SettingsFilePath();
    savedSection_ = SettingsUserSection();
    savedCwd_ = CurrentFolder();
    InitSettingsWith(folder_.File("Tarnivel.dxl").c_str(), "tester");
    g_record = OpenRecord();
    patch_.reset(new ExportPatch("comdlg32.dll", "GetOpenFileNameA", reinterpret_cast<void*>(RecordOpen)));
    g_realOpen = reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEA*)>(patch_->original());
    ASSERT_NE(nullptr, g_realOpen);
  }
  void TearDown() override {
    patch_.reset();
    SetCurrentDirectoryA(savedCwd_.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, folder_.File("Tarnivel.ini").c_str());
    InitSettingsWith(savedPath_.c_str(), savedSection_.c_str());
  }

  // Presses the browse button, chooses path in the open-file dialog, and
  // returns the text of the edit beside the button, which OK then stores.
  // The configuration dialog's window goes to *dialog.
  std::string Browse(int button, const std::string& path, HWND* dialog) {
    std::string text = "<none>";
    auto press = [button, dialog](HWND d) {
      *dialog = d;
      PostMessageA(GetDlgItem(d, button), BM_CLICK, 0, 0);
      return true;
    };
    auto choose = [&path](HWND d) {
      if (IsConfigDialog(d)) return false;
      HWND field = GetDlgItem(d, 0x480);                // edt1
      if (!field) field = GetDlgItem(d, 0x47C);         // cmb13
      SetWindowTextA(field, path.c_str());
      PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK));
      return true;
    };
    auto back = [button, &text](HWND d) {
      if (!IsConfigDialog(d)) return false;
      text = ItemText(d, button - 1);
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    };
    EXPECT_TRUE(DialogDriver::Run(IDC_USE_TODAY, [] { DrawExConfigure(nullptr); }, {press, choose, back}))
        << "button " << button;
    return text;
  }

  TempFolder folder_{"tarnivel_browse"};
  std::unique_ptr<ExportPatch> patch_;
  std::string savedPath_, savedSection_, savedCwd_;
};

TEST_F(ConfigBrowse, ProgramsWithBlanksAreQuotedAndTheCurrentFolderStays) {
  std::string spaced = folder_.File("with blank");
  ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
  ASSERT_TRUE(folder_.Write("with blank\\TODAY.CNF", ""));
  ASSERT_TRUE(folder_.Write("with blank\\ed.exe", ""));
  ASSERT_TRUE(folder_.Write("tool.exe", ""));
  ASSERT_EQ(std::string::npos, folder_.path().find(' ')) << folder_.path();
  const std::string cnfFilter = Sjis(L"環境登録ファイル (*.cnf)") + '\0' + "*.cnf" + '\0' +
                                Sjis(L"すべてのファイル (*.*)") + '\0' + "*.*" + '\0';
  const std::string exeFilter = Sjis(L"プログラム (*.exe)") + '\0' + "*.exe" + '\0' +
                                Sjis(L"すべてのファイル (*.*)") + '\0' + "*.*" + '\0';
  struct {
    int button;
    const char* key;
    std::string chosen, filter, title, edit;
    std::string initial;  // the file name the open-file dialog starts from
  } cases[] = {
      {1104, "TodayCnf", spaced + "\\TODAY.CNF", cnfFilter, Sjis(L"環境登録ファイルの選択"), spaced + "\\TODAY.CNF", ""},
      {1106, "Editor", spaced + "\\ed.exe", exeFilter, Sjis(L"テキスト エディタの選択"), "\"" + spaced + "\\ed.exe\"", ""},
      {1108, "Program", spaced + "\\ed.exe", exeFilter, Sjis(L"プログラムの選択"), "\"" + spaced + "\\ed.exe\"", ""},
      {1108, "Program", folder_.File("tool.exe"), exeFilter, Sjis(L"プログラムの選択"), folder_.File("tool.exe"),
       spaced + "\\ed.exe"},
  };
  SetCurrentDirectoryA(folder_.path().c_str());
  const std::string cwd = CurrentFolder();
  for (auto& c : cases) {
    int calls = g_record.calls;
    HWND dialog = nullptr;
    std::string edit = Browse(c.button, c.chosen, &dialog);
    ASSERT_EQ(calls + 1, g_record.calls) << "button " << c.button;
    EXPECT_EQ(0, lstrcmpiA(c.edit.c_str(), edit.c_str())) << "button " << c.button << ": edit holds " << edit;
    EXPECT_EQ(cwd, CurrentFolder()) << "button " << c.button;
    // Read back as the library reads its settings: quotes and all.
    char stored[MAX_PATH] = "";
    GetPrivateProfileStringA("tester", c.key, "<missing>", stored, sizeof stored, folder_.File("Tarnivel.ini").c_str());
    EXPECT_EQ(0, lstrcmpiA(c.edit.c_str(), stored)) << c.key << " read back as " << stored;

    const OPENFILENAMEA& ofn = g_record.ofn;
    EXPECT_EQ(76u, ofn.lStructSize) << "button " << c.button;
    EXPECT_EQ(dialog, ofn.hwndOwner) << "button " << c.button;
    EXPECT_EQ((DWORD)(OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR), ofn.Flags)
        << "button " << c.button << std::hex << ": flags " << ofn.Flags;
    EXPECT_EQ(c.filter, g_record.filter) << "button " << c.button;
    EXPECT_EQ(c.title, g_record.title) << "button " << c.button;
    EXPECT_EQ(c.initial, g_record.file) << "button " << c.button;
    EXPECT_EQ(260u, ofn.nMaxFile) << "button " << c.button;
    EXPECT_EQ(0u, ofn.nFilterIndex) << "button " << c.button;
    EXPECT_TRUE(!ofn.lpstrCustomFilter && !ofn.lpstrFileTitle && !ofn.lpstrInitialDir && !ofn.lpstrDefExt &&
                !ofn.lpfnHook && !ofn.lpTemplateName && !ofn.hInstance)
        << "button " << c.button;
  }
}

}  // namespace
