#include "tests/common/tempfolder.h"

#include <string.h>

namespace {

std::string SourceFolder() {
  std::string path = std::string("Z:") + TARNIVEL_SOURCE_DIR + "/";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

void RemoveTree(const std::string& path) {
  std::string dir = path;
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  if (dir.empty()) return;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = dir + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string TestProgramFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n < sizeof path ? n : 0);
  return s.substr(0, s.rfind('\\') + 1);
}

const char kBuildFolderVariable[] = "TARNIVEL_BUILD_FOLDER";

std::string BuildFolder() {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA(kBuildFolderVariable, path, sizeof path);
  if (n == 0 || n >= sizeof path) return TestProgramFolder();
  std::string folder(path);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

TempFolder::TempFolder(const char* prefix) : ok_(false) {
  static LONG counter = 0;
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return;
  path_ = std::string(temp) + prefix + "_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(InterlockedIncrement(&counter)) + "\\";
  RemoveTree(path_);  // left over by an earlier process of the same id
  ok_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

bool TempFolder::Write(const std::string& name, const std::string& bytes) const {
  HANDLE h = CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

std::string TempFolder::Read(const std::string& name) const {
  HANDLE h = CreateFileA(File(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) bytes.append(buf, n);
  CloseHandle(h);
  return bytes;
}

bool TempFolder::CopyIn(const std::string& from, const std::string& name) const {
  return CopyFileA(from.c_str(), File(name).c_str(), FALSE) != 0;
}

std::string UserSection() {
  char user[64];
  DWORD size = sizeof user;
  return GetUserNameA(user, &size) && strlen(user) < 32 ? user : "Default";
}

bool LibraryCopy::WriteUserSetting(const char* key, const char* value) const {
  return WritePrivateProfileStringA(UserSection().c_str(), key, value, SettingsFile().c_str()) != 0;
}

LibraryCopy::LibraryCopy(bool withExamples) : TempFolder("tarnivel_lib") {
  library_ = File("Tarnivel.dxl");
  if (!ok()) return;
  bool copied = CopyIn(BuildFolder() + "Tarnivel.dxl", "Tarnivel.dxl");
  if (copied && withExamples) {
    std::string examples = SourceFolder() + "examples\\";
    for (const char* pattern : {"*.CNF", "*.TBL"}) {
      WIN32_FIND_DATAA data;
      HANDLE find = FindFirstFileA((examples + pattern).c_str(), &data);
      if (find == INVALID_HANDLE_VALUE) {
        copied = false;
        continue;
      }
      do copied = CopyIn(examples + data.cFileName, data.cFileName) && copied;
      while (FindNextFileA(find, &data));
      FindClose(find);
    }
  }
  if (!copied) library_.clear();
}
