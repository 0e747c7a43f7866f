// TarnivelDesk.exe: time from start to the first painted chip and to all
// of them, with 1 and 20 kept chips; its working set; what it does idle.
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "tests/common/deskprogram.h"

namespace {

size_t Count(const std::string& text, const char* what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string KeptChips(int count) {
  std::string kept = "[Desk]\r\nVersion=1\r\nChips=" + std::to_string(count) + "\r\n";
  for (int i = 0; i < count; ++i) {
    char chip[160];
    snprintf(chip, sizeof chip, "[Chip%d]\r\nLeft=%d\r\nTop=%d\r\nWidth=100\r\nHeight=100\r\nSaveData=00000000\r\n", i + 1,
             20 + (i % 5) * 240, 60 + (i / 5) * 180);
    kept += chip;
  }
  return kept + "[End]\r\n";
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime, k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime, u.HighPart = user.dwHighDateTime;
  return (double)(k.QuadPart + u.QuadPart) / 10000.0;
}

struct Memory {
  DWORD cb, faults;
  SIZE_T peakWorkingSet, workingSet, a, b, c, d, pagefile, peakPagefile;
};

SIZE_T WorkingSetKb(HANDLE process) {
  typedef BOOL(WINAPI * Fn)(HANDLE, Memory*, DWORD);
  Fn get = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
  Memory m;
  memset(&m, 0, sizeof m);
  m.cb = sizeof m;
  return get && get(process, &m, sizeof m) ? m.workingSet / 1024 : 0;
}

}  // namespace

int main() {
  // The program and the library are in the build folder above this one.
  SetEnvironmentVariableA(kBuildFolderVariable, (TestProgramFolder() + "..\\").c_str());
  printf("TarnivelDesk.exe, 3 starts each (median; wall clock under Wine)\n");
  for (int chips : {1, 20}) {
    std::vector<double> first, all, idleCpu;
    SIZE_T workingSet = 0;
    size_t idleLines = 0;
    for (int run = 0; run < 3; ++run, Sleep(2000)) {  // the last run's windows gone first
      DeskProgram desk;
      desk.Keep(KeptChips(chips));
      double start = Now();
      if (!desk.Start()) return 1;
      double firstAt = 0, allAt = 0;
      WaitUntil([&] {
        size_t painted = Count(desk.Log(), "painted");
        if (painted && !firstAt) firstAt = Now();
        if (painted >= (size_t)chips) allAt = Now();
        return allAt != 0;
      }, 60000);
      first.push_back(firstAt - start);
      all.push_back(allAt - start);
      Sleep(1000);
      workingSet = std::max(workingSet, WorkingSetKb(desk.process()));
      // Left alone, it should do nothing: no lines, next to no CPU.
      size_t lines = Count(desk.Log(), "\n");
      double cpu = CpuMs(desk.process());
      Sleep(5000);
      idleLines += Count(desk.Log(), "\n") - lines;
      idleCpu.push_back(CpuMs(desk.process()) - cpu);
    }
    std::sort(first.begin(), first.end());
    std::sort(all.begin(), all.end());
    std::sort(idleCpu.begin(), idleCpu.end());
    printf("  %2d kept chips: first chip painted %6.0f ms, all %6.0f ms (slowest %.0f), working set %lu KB, "
           "idle 5 s: %.0f ms CPU, %u log lines\n",
           chips, first[1], all[1], all[2], (unsigned long)workingSet, idleCpu[1], (unsigned)idleLines);
  }
  return 0;
}
