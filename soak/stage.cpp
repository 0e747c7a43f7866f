#include "soak/stage.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

bool CopyInto(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

void CopyData(const std::string& dir, const std::string& folder) {
  static const char* const kPatterns[] = {"*.CNF", "*.TBL"};
  for (const char* pattern : kPatterns) {
    WIN32_FIND_DATAA found;
    std::string base = dir + "\\";
    HANDLE h = FindFirstFileA((base + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      CopyInto(base + found.cFileName, folder + found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
}

bool MakeFolder(std::string* folder) {
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return false;
  char name[MAX_PATH + 64];
  snprintf(name, sizeof name, "%starnivel-soak-%lu-%lu\\", temp, GetCurrentProcessId(), GetTickCount());
  if (!CreateDirectoryA(name, nullptr)) return false;
  *folder = name;
  return true;
}

}  // namespace

void RemoveStagedFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

bool StageLibrary(const char* library, const char* dataDir, std::string* folder, std::string* copy) {
  if (!MakeFolder(folder)) return false;
  char full[MAX_PATH];
  const char* slash = strrchr(library, '\\');
  if (!slash) slash = strrchr(library, '/');
  *copy = *folder + (slash ? slash + 1 : library);
  if (!GetFullPathNameA(library, sizeof full, full, nullptr) || !CopyInto(full, *copy)) {
    RemoveStagedFolder(*folder);
    return false;
  }
  if (dataDir) CopyData(dataDir, *folder);
  return true;
}
