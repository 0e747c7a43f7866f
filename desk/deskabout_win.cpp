// The versions of TarnivelDesk.exe and of the library it loaded, in one box.
#include "desk/deskabout.h"

#include <wchar.h>

#include <vector>

namespace {

// "NAME VERSION (ファイルの版 FILEVERSION)" from the file's version block, in
// the language its translation table names first; false without a block.
bool DescribeVersion(const wchar_t* path, wchar_t* out, size_t size) {
  DWORD ignored = 0, length = GetFileVersionInfoSizeW(path, &ignored);
  if (!length) return false;
  std::vector<BYTE> block(length);
  if (!GetFileVersionInfoW(path, 0, length, block.data())) return false;
  WORD* translation = nullptr;
  UINT translationSize = 0;
  wchar_t language[16] = L"041104B0";
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", (void**)&translation, &translationSize) &&
      translationSize >= 2 * sizeof(WORD))
    swprintf(language, sizeof language / sizeof language[0], L"%04X%04X", translation[0], translation[1]);
  const wchar_t* keys[] = {L"ProductName", L"ProductVersion", L"FileVersion"};
  const wchar_t* values[3] = {L"", L"", L""};
  for (int i = 0; i < 3; ++i) {
    wchar_t query[64];
    swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%ls\\%ls", language, keys[i]);
    wchar_t* value = nullptr;
    UINT chars = 0;
    if (VerQueryValueW(block.data(), query, (void**)&value, &chars) && value && chars) values[i] = value;
  }
  wchar_t fileVersion[64];
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!*values[2] && VerQueryValueW(block.data(), L"\\", (void**)&fixed, &fixedSize) && fixedSize >= sizeof *fixed) {
    swprintf(fileVersion, sizeof fileVersion / sizeof fileVersion[0], L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
             LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    values[2] = fileVersion;
  }
  swprintf(out, size, L"%ls %ls (ファイルの版 %ls)", values[0], values[1], values[2]);
  return true;
}

}  // namespace

void ShowDeskAbout(HWND owner, const char* libraryPath) {
  wchar_t program[MAX_PATH], library[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, program, MAX_PATH);
  if (!n || n >= MAX_PATH) wcscpy(program, L"TarnivelDesk.exe");
  if (!MultiByteToWideChar(CP_ACP, 0, libraryPath, -1, library, MAX_PATH)) wcscpy(library, L"Tarnivel.dxl");
  wchar_t programVersion[256], libraryVersion[256];
  if (!DescribeVersion(program, programVersion, sizeof programVersion / sizeof programVersion[0]))
    wcscpy(programVersion, L"TarnivelDesk (版の情報がありません)");
  if (!DescribeVersion(library, libraryVersion, sizeof libraryVersion / sizeof libraryVersion[0]))
    wcscpy(libraryVersion, L"このライブラリには版の情報がありません。");
  wchar_t text[1024];
  swprintf(text, sizeof text / sizeof text[0], L"%ls\n%ls\n\n描画拡張ライブラリ:\n%ls\n%ls", programVersion, program,
           libraryVersion, library);
  MSGBOXPARAMSW box;
  ZeroMemory(&box, sizeof box);
  box.cbSize = sizeof box;
  box.hwndOwner = owner;
  box.hInstance = GetModuleHandleW(nullptr);
  box.lpszText = text;
  box.lpszCaption = L"TarnivelDesk のバージョン情報";
  box.dwStyle = MB_OK | MB_USERICON;
  box.lpszIcon = MAKEINTRESOURCEW(1);
  MessageBoxIndirectW(&box);
}
