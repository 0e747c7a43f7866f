// Test program of the Win32 shell: the library's code runs with this
// program's resources and path, so its settings file and "the library's
// folder" are this program's. So that no run writes settings into the build
// tree, the program copies itself (with the helper programs the tests start)
// into a temporary folder, runs the copy there and removes the folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "plugin/globals.h"
#include "tests/common/tempfolder.h"

namespace {

const char kCopyMarker[] = "TARNIVEL_WINTESTS_COPY";
const char* const kHelpers[] = {"recordargs.exe"};

// The command line without the program name.
const char* Arguments(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  return p;
}

int RunCopyInTempFolder() {
  TempFolder folder("tarnivel_wintests");
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (!folder.ok() || n == 0 || n >= sizeof self || !folder.CopyIn(self, "wintests.exe")) {
    fprintf(stderr, "wintests: cannot copy the program into %s\n", folder.path().c_str());
    return 1;
  }
  for (const char* helper : kHelpers) folder.CopyIn(TestProgramFolder() + helper, helper);

  std::string command = "\"" + folder.File("wintests.exe") + "\"" + Arguments(GetCommandLineA());
  SetEnvironmentVariableA(kCopyMarker, "1");
  SetEnvironmentVariableA(kBuildFolderVariable, TestProgramFolder().c_str());
  // The copy dies with this process, for example when a test run times out.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit;
  memset(&limit, 0, sizeof limit);
  limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit);

  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  DWORD code = 1;
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                     folder.path().c_str(), &si, &pi)) {
    if (job) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    fprintf(stderr, "wintests: cannot start %s (error %lu)\n", command.c_str(), GetLastError());
  }
  if (job) CloseHandle(job);
  return (int)code;
}

}  // namespace

int main(int argc, char** argv) {
  if (GetEnvironmentVariableA(kCopyMarker, nullptr, 0) == 0) return RunCopyInTempFolder();
  g_hInstance = GetModuleHandleA(nullptr);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
