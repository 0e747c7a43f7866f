// Programs started by the library are the helper recordargs.exe, which writes
// the command line it received to a file.
#pragma once

#include <windows.h>

#include <string>

#include "tests/common/tempfolder.h"

inline std::string ExeDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n < sizeof path ? n : 0);
  size_t slash = s.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

// The command line recorded in file, waiting up to timeoutMs for the helper.
inline bool ReadRecordedLine(const std::string& file, int timeoutMs, std::string* line) {
  for (int waited = 0; waited <= timeoutMs; waited += 100) {
    HANDLE f = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      char buf[1024];
      DWORD n = 0;
      ReadFile(f, buf, sizeof buf, &n, nullptr);
      CloseHandle(f);
      line->assign(buf, n);
      return true;
    }
    Sleep(100);
  }
  return false;
}

// The helper in the test program's folder, recording into a scratch folder of
// its own (TARNIVEL_RECORD_FILE) for as long as this lives.
class CommandRecorder {
 public:
  CommandRecorder() : helper_(ExeDirectory() + "recordargs.exe"), record_(folder_.File("record.txt")) {
    SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", record_.c_str());
  }
  ~CommandRecorder() { SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", nullptr); }
  CommandRecorder(const CommandRecorder&) = delete;
  CommandRecorder& operator=(const CommandRecorder&) = delete;

  bool ready() const { return folder_.ok() && GetFileAttributesA(helper_.c_str()) != INVALID_FILE_ATTRIBUTES; }
  const std::string& helper() const { return helper_; }
  // The next command line a started helper received; false when none came.
  bool Read(int timeoutMs, std::string* line) {
    if (!ReadRecordedLine(record_, timeoutMs, line)) return false;
    DeleteFileA(record_.c_str());
    return true;
  }
  void Forget() { DeleteFileA(record_.c_str()); }

 private:
  TempFolder folder_{"tarnivel_record"};
  std::string helper_, record_;
};
