// The kept chips: %APPDATA%\Tarnivel\TarnivelDesk.ini, written whole each time.
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <wchar.h>

#include "desk/desk.h"

namespace {

std::wstring Wide(const std::string& s) {
  wchar_t buffer[MAX_PATH * 2];
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buffer, MAX_PATH * 2);
  return n > 0 ? buffer : L"?";
}

bool WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
  ok = FlushFileBuffers(f) && ok;
  return CloseHandle(f) && ok;
}

// 0 read, 1 missing, -1 cannot be read.
int ReadAll(const std::string& path, std::string* bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? 1 : -1;
  }
  // A file this program wrote is far smaller; a larger one is not read into memory.
  const DWORD kLimit = 16u << 20;
  DWORD size = GetFileSize(f, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= kLimit;
  if (ok) {
    bytes->resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(f, &(*bytes)[0], size, &read, nullptr) && read == size);
  }
  CloseHandle(f);
  return ok ? 0 : -1;
}

bool g_toldSaveFailed = false;

}  // namespace

std::string DeskFolder() {
  char base[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("APPDATA", base, sizeof base);
  if (n == 0 || n >= sizeof base) {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, base))) base[0] = 0;
  }
  std::string folder = base;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  folder += "Tarnivel\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string DeskFilePath() { return DeskFolder() + "TarnivelDesk.ini"; }

bool SaveDesk() {
  std::vector<DeskChipRecord> records;
  for (DeskChip* c : g_chips) records.push_back(RecordOfChip(c));
  records.insert(records.end(), g_chipsKeptAside.begin(), g_chipsKeptAside.end());
  const std::string path = DeskFilePath(), temp = path + ".tmp";
  bool ok = WriteAll(temp, FormatDeskFile(records));
  // A reader of the old file (a virus scanner, an editor) may hold it for a moment.
  for (int attempt = 0; ok; ++attempt) {
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    DWORD error = GetLastError();
    if (attempt == 4 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) ok = false;
    else Sleep(50);
  }
  DWORD error = ok ? 0 : GetLastError();
  DeskLog(ok ? "saved %u chips" : "cannot save", (unsigned)records.size());
  if (!ok) {
    DeleteFileA(temp.c_str());
    if (!g_toldSaveFailed) {
      g_toldSaveFailed = true;
      wchar_t text[1024];
      swprintf(text, sizeof text / sizeof text[0],
               L"チップを保存できません (エラー %lu)。\n\n%ls\n\nこのままでは、チップの変更は残りません。", error,
               Wide(path).c_str());
      MessageBoxW(nullptr, text, L"TarnivelDesk", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }
  }
  return ok;
}

bool LoadDesk(std::vector<DeskChipRecord>* records) {
  records->clear();
  const std::string path = DeskFilePath(), bad = path + ".bad";
  std::string bytes, why;
  int read = ReadAll(path, &bytes);
  if (read == 1) return true;
  if (read == 0 && ParseDeskFile(bytes.data(), bytes.size(), records, &why)) return true;
  records->clear();
  if (read < 0) why = "cannot be read";
  // The damaged file is kept for the user before a new one replaces it.
  bool kept = MoveFileExA(path.c_str(), bad.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
              CopyFileA(path.c_str(), bad.c_str(), FALSE);
  DeskLog("damaged: %s", why.c_str());
  wchar_t text[2048];
  swprintf(text, sizeof text / sizeof text[0],
           kept ? L"チップを保存したファイルを読めませんでした (%hs)。\n\n%ls\n\nこのファイルは %ls "
                  L"として残しました。新しいチップで始めます。"
                : L"チップを保存したファイルを読めませんでした (%hs)。\n\n%ls\n\n%ls "
                  L"として残すこともできませんでした。このファイルを上書きしないよう、終了します。",
           why.c_str(), Wide(path).c_str(), Wide(bad).c_str());
  MessageBoxW(nullptr, text, L"TarnivelDesk", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
  return kept;
}
