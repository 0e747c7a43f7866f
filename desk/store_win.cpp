// The kept chips: %APPDATA%\Tarnivel\TarnivelDesk.ini, written whole each time.
#include "desk/deskstore.h"

#include <windows.h>
#include <shlobj.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "desk/deskchips.h"

namespace {

const int kMaxKeptBeside = 99;

bool WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
  ok = FlushFileBuffers(f) && ok;
  return CloseHandle(f) && ok;
}

// 0 read, 1 missing, -1 cannot be read (*error says why).
int ReadAll(const std::string& path, std::string* bytes, DWORD* error) {
  bytes->clear();
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? 1 : -1;
  }
  // A file this program wrote is far smaller; a larger one is not read into memory.
  const DWORD kLimit = 16u << 20;
  DWORD size = GetFileSize(f, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size <= kLimit;
  *error = ok ? 0 : size == INVALID_FILE_SIZE ? GetLastError() : ERROR_FILE_TOO_LARGE;
  if (ok) {
    bytes->resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(f, &(*bytes)[0], size, &read, nullptr) && read == size);
    if (!ok) *error = GetLastError();
  }
  CloseHandle(f);
  return ok ? 0 : -1;
}

// Text saved by an editor as UTF-8 or UTF-16 with its byte order mark, in
// the code page the memo texts are kept in.
std::string InAnsiCodePage(const std::string& bytes) {
  std::wstring wide;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, (int)bytes.size() - 3, nullptr, 0);
    wide.resize((size_t)(n > 0 ? n : 0));
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, (int)bytes.size() - 3, &wide[0], n);
  } else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    wide.resize((bytes.size() - 2) / 2);
    memcpy(&wide[0], bytes.data() + 2, wide.size() * 2);
  } else {
    return bytes;
  }
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string ansi((size_t)(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &ansi[0], n, nullptr, nullptr);
  return ansi;
}

// A copy of the file beside it under the first of name, name2, name3 ...
// that is not there yet; empty when none could be made.
std::string KeepBeside(const std::string& path, const std::string& suffix) {
  for (int n = 1; n <= kMaxKeptBeside; ++n) {
    std::string name = path + suffix + (n > 1 ? std::to_string(n) : std::string());
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (CopyFileA(path.c_str(), name.c_str(), TRUE)) return name;
    DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

std::wstring Format(const wchar_t* format, ...) {
  wchar_t text[4096];
  va_list args;
  va_start(args, format);
  int n = vswprintf(text, sizeof text / sizeof text[0], format, args);
  va_end(args);
  return n < 0 ? std::wstring(format) : std::wstring(text);
}

std::wstring WhatIsWrong(const DeskFileProblem& p) {
  std::wstring key = WideFromAnsi(p.key);
  switch (p.fault) {
    case kDeskFaultBadValue:
      return Format(L"%ls の値が正しくありません", key.c_str());
    case kDeskFaultNoPlace:
      return Format(L"チップの位置 (%ls) がありません", key.c_str());
    case kDeskFaultUnknownLine:
      return L"セクションでもキーでもない行です";
    case kDeskFaultCutShort:
      return L"ファイルが途中で切れています ([End] の行がありません)";
    case kDeskFaultChipCount:
      return L"Chips の数とチップの数が合いません";
    case kDeskFaultVersion:
      return L"このプログラムより新しい版のファイルです";
    case kDeskFaultTooLong:
      return L"行が長すぎます";
    case kDeskFaultChipNumber:
      return Format(L"チップの番号は 1 から %d までです", kDeskMaxChips);
    case kDeskFaultDuplicateChip:
      return L"同じ番号のチップがもう一つあります";
  }
  return L"読めない行です";
}

std::wstring ProblemLines(const std::vector<DeskFileProblem>& problems) {
  std::wstring text;
  const size_t shown = 8;
  for (size_t i = 0; i < problems.size() && i < shown; ++i) {
    const DeskFileProblem& p = problems[i];
    if (p.chip > 0) text += Format(L"・チップ %d (%d 行目): ", p.chip, p.line);
    else text += Format(L"・%d 行目: ", p.line);
    text += WhatIsWrong(p) + L"\n";
  }
  if (problems.size() > shown) text += Format(L"・ほかに %u 件\n", (unsigned)(problems.size() - shown));
  return text;
}

bool g_toldSaveFailed = false;

}  // namespace

static bool WriteDesk();

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
  if (g_desk.refused) return false;
  if (DeskBusy()) {
    g_desk.savePending = true;
    return true;
  }
  return WriteDesk();
}

bool SaveDeskAtSessionEnd() { return g_desk.started && !g_desk.refused && WriteDesk(); }

static bool WriteDesk() {
  g_desk.savePending = false;
  std::vector<DeskChipRecord> records;
  for (const auto& c : g_desk.chips) records.push_back(RecordOfChip(c.get()));
  records.insert(records.end(), g_desk.keptAside.begin(), g_desk.keptAside.end());
  const std::string path = DeskFilePath(), temp = path + ".tmp", text = FormatDeskFile(records);

  // An edit made while the program runs is kept, not written over.
  std::string now;
  DWORD error = 0;
  int read = ReadAll(path, &now, &error);
  if (read == 0 && now != g_desk.lastKept) {
    std::string beside = KeepBeside(path, ".edited");
    DeskLog("changed meanwhile: %s", beside.empty() ? "(not kept)" : beside.c_str());
    if (beside.empty()) {
      DeskMessageBox(nullptr,
                     Format(L"TarnivelDesk の実行中に、チップを保存したファイルが書き換えられました。\n\n%ls\n\n"
                            L"書き換えられたファイルを残せないため、チップを保存しません。",
                            WideFromAnsi(path).c_str()).c_str(), MB_OK | MB_ICONWARNING);
      return false;
    }
    DeskMessageBox(nullptr,
                   Format(L"TarnivelDesk の実行中に、チップを保存したファイルが書き換えられました。\n\n%ls\n\n"
                          L"書き換えられたファイルは %ls として残し、いまのチップを保存します。"
                          L"ファイルを直すときは、TarnivelDesk を終了してから編集してください。",
                          WideFromAnsi(path).c_str(), WideFromAnsi(beside).c_str()).c_str(),
                   MB_OK | MB_ICONINFORMATION);
  }

  bool ok = WriteAll(temp, text);
  // A reader of the old file (a virus scanner, an editor) may hold it for a moment.
  for (int attempt = 0; ok; ++attempt) {
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    error = GetLastError();
    if (attempt == 4 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) ok = false;
    else Sleep(50);
  }
  if (!ok && !error) error = GetLastError();
  DeskLog(ok ? "saved %u chips" : "cannot save", (unsigned)records.size());
  if (ok) {
    g_desk.lastKept = text;
  } else {
    DeleteFileA(temp.c_str());
    if (!g_toldSaveFailed) {
      g_toldSaveFailed = true;
      DeskMessageBox(nullptr,
                     Format(L"チップを保存できません (エラー %lu)。\n\n%ls\n\nこのままでは、チップの変更は残りません。",
                            error, WideFromAnsi(path).c_str()).c_str(), MB_OK | MB_ICONWARNING);
    }
  }
  return ok;
}

bool LoadDesk(std::vector<DeskChipRecord>* records) {
  records->clear();
  const std::string path = DeskFilePath();
  std::string bytes;
  DWORD error = 0;
  int read = ReadAll(path, &bytes, &error);
  g_desk.lastKept = bytes;
  if (read == 1) return true;
  DeskFileContents contents;
  std::wstring problems;
  if (read == 0) {
    std::string text = InAnsiCodePage(bytes);
    if (ReadDeskFile(text.data(), text.size(), &contents)) {
      *records = contents.chips;
      return true;
    }
    problems = ProblemLines(contents.problems);
  } else {
    wchar_t reason[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason / sizeof reason[0], nullptr);
    problems = Format(L"・ファイルを読めません (エラー %lu: %ls)\n", error, reason);
  }
  // The whole file is kept for the user before a new one replaces it.
  std::string beside = KeepBeside(path, ".bad");
  DeskLog("damaged: %u chips read, kept as %s", (unsigned)contents.chips.size(),
          beside.empty() ? "(nothing)" : beside.c_str());
  const std::wstring file = WideFromAnsi(path);
  if (beside.empty()) {
    g_desk.refused = true;
    DeskMessageBox(nullptr,
                   Format(L"チップを保存したファイルを読めませんでした。\n\n%ls\n\n%ls\n"
                          L"このファイルを %ls.bad などとして残すこともできませんでした。"
                          L"このファイルを上書きしないよう、終了します。",
                          file.c_str(), problems.c_str(), file.c_str()).c_str(), MB_OK | MB_ICONWARNING);
    return false;
  }
  *records = contents.chips;
  DeskMessageBox(nullptr,
                 Format(L"チップを保存したファイルに、読めないところがありました。\n\n%ls\n\n%ls\n"
                        L"元のファイルは、そのまま %ls として残しました。読めたチップ %u 個で始めます。\n\n"
                        L"読めなかったチップを戻すには、TarnivelDesk を終了し、残したファイルのその行を直して "
                        L"TarnivelDesk.ini という名前に戻してから、もう一度起動してください。",
                        file.c_str(), problems.c_str(), WideFromAnsi(beside).c_str(),
                        (unsigned)contents.chips.size()).c_str(), MB_OK | MB_ICONWARNING);
  return true;
}
