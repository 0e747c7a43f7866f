#include "soak/soak.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/commandhelpers.h"
#include "dxlhost/paint.h"
#include "soak/accounting.h"
#include "soak/faults.h"
#include "soak/scenario.h"
#include "soak/stage.h"

namespace {

void SoakUsage() {
  fputs(
      "usage: dxlhost soak LIBRARY [--data DIR] [--scenario NAME[,NAME...]] [--count N]\n"
      "         [--fail CALL:N[,CALL:N...] | --sweep CALL[:FROM] [--max-n N]] [--list]\n"
      "  Copies the library and the scheduler files of DIR (*.CNF, *.TBL) into a\n"
      "  temporary folder, loads it, counts what it creates and releases through\n"
      "  its import address table, and runs host scenarios N times each (default:\n"
      "  one pass), printing per kind: created, released, live at the end, peak.\n"
      "  --fail makes the Nth call of CALL fail (several faults run in turn);\n"
      "  CALL@NAME counts only the calls on files whose path holds NAME;\n"
      "  --sweep runs every scenario with the call failing at N = FROM, FROM+1, ...\n"
      "  until the Nth call is not made, one line per case. --list names the\n"
      "  scenarios and the calls that can fail.\n",
      stderr);
}

// --- checks --------------------------------------------------------------------

// What a fresh chip looks like: the check after every case.
struct Picture {
  std::vector<uint8_t> rgb;
  HostChipPeek peek;
};

bool TakePicture(Soak* s, Picture* picture) {
  HostChip chip;
  bool ok = MakeChip(s, CheckOptions(), &chip);
  if (ok) {
    int w = 0, h = 0;
    ok = PaintChipPixels(&s->api, &chip, &w, &h, &picture->rgb) && HostPeekChip(chip.chip, &picture->peek);
    DestroyChip(s, &chip);
  }
  return ok;
}

bool SamePicture(const Picture& a, const Picture& b) {
  return a.rgb == b.rgb && !memcmp(&a.peek, &b.peek, sizeof a.peek);
}

// Kinds with something live after the scenario, as "kind=n,...".
std::string LiveKinds() {
  std::string out;
  const SoakCount* counts = SoakCounts();
  for (int k = 0; k < kSoakKindCount; ++k) {
    if (counts[k].live == 0) continue;
    char item[64];
    snprintf(item, sizeof item, "%s%s=%ld", out.empty() ? "" : ",", SoakKindName(k), counts[k].live);
    out += item;
  }
  return out;
}

void PrintCounts(const SoakCount* counts) {
  printf("  %-16s %10s %10s %6s %6s %8s\n", "kind", "created", "released", "live", "peak", "foreign");
  for (int k = 0; k < kSoakKindCount; ++k) {
    const SoakCount& c = counts[k];
    if (!c.created && !c.released && !c.foreign) continue;
    printf("  %-16s %10ld %10ld %6ld %6ld %8ld\n", SoakKindName(k), c.created, c.released, c.live, c.peak,
           c.foreign);
  }
}

// --- one run ---------------------------------------------------------------

volatile LONG g_caseSerial = 0;
char g_caseName[160];
const DWORD kCaseSeconds = 60;

// A case that takes far longer than any should is reported as hanging.
DWORD WINAPI Watchdog(void*) {
  LONG seen = -1;
  DWORD since = GetTickCount();
  for (;;) {
    Sleep(500);
    LONG now = g_caseSerial;
    if (now != seen) {
      seen = now;
      since = GetTickCount();
    } else if (now > 0 && GetTickCount() - since > kCaseSeconds * 1000) {
      printf("hang %s\n", g_caseName);
      fflush(stdout);
      ExitProcess(4);
    }
  }
}

// The module and offset of the address too, which scripts/symbolize.sh names.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  void* at = info->ExceptionRecord->ExceptionAddress;
  char module[MAX_PATH] = "?";
  unsigned long offset = 0;
  MEMORY_BASIC_INFORMATION region;
  if (VirtualQuery(at, &region, sizeof region) && region.AllocationBase &&
      GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), module, sizeof module))
    offset = (unsigned long)(static_cast<char*>(at) - static_cast<char*>(region.AllocationBase));
  const char* name = module;
  for (const char* p = module; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  printf("crash %s exception %08lx at %p (%s+0x%lx)\n", g_caseName, info->ExceptionRecord->ExceptionCode, at, name,
         offset);
  fflush(stdout);
  ExitProcess(3);
}

struct CaseResult {
  bool leak;
  std::string live;
};

CaseResult RunCase(Soak* s, const Scenario& sc, long count) {
  CaseResult r;
  s->problem.clear();
  s->wrong.clear();
  SoakReset();
  sc.run(s, count);
  SoakSettle();
  r.live = LiveKinds();
  r.leak = !r.live.empty();
  return r;
}

// Without the fault: does a fresh chip still work, and leave nothing either?
// *differs when it cannot be painted or does not look as before any fault.
bool CheckAfter(Soak* s, const Picture& reference, std::string* why, bool* differs) {
  SoakReset();
  Picture now;
  bool ok = TakePicture(s, &now);
  SoakSettle();
  std::string live = LiveKinds();
  *differs = !ok || !SamePicture(now, reference);
  if (!ok) *why = "a fresh chip cannot be painted";
  else if (*differs) *why = "a fresh chip looks different";
  else if (!live.empty()) *why = "a fresh chip leaves " + live;
  return why->empty();
}

struct Fault {
  std::string call;  // empty: none
  long at;
};

// One scenario with one fault (or none), then the check on a fresh chip.
// Prints the table, or in a sweep one line; false when something went wrong.
bool RunOneCase(Soak* s, const Scenario& sc, long n, const Fault& fault, bool sweep, const Picture& reference,
                bool* firedOut) {
  snprintf(g_caseName, sizeof g_caseName, "%s %s:%ld", sc.name, fault.call.empty() ? "none" : fault.call.c_str(),
           fault.at);
  if (sweep) printf("start %s\n", g_caseName);
  InterlockedIncrement(&g_caseSerial);
  SoakSetFault(fault.call.empty() ? nullptr : fault.call.c_str(), fault.at);
  CaseResult r = RunCase(s, sc, n);
  bool fired = SoakFaultFired();
  long calls = SoakFaultCalls();
  std::vector<std::string> messages = SoakMessages();
  long beeps = SoakBeeps();
  std::string problem = s->problem;
  std::string wrong = s->wrong;
  SoakCount counts[kSoakKindCount];
  memcpy(counts, SoakCounts(), sizeof counts);
  SoakSetFault(nullptr, 0);
  std::string why;
  bool differs = false;
  bool after = CheckAfter(s, reference, &why, &differs);
  // What a scenario sees is wrong only when nothing failed on purpose.
  bool bad = r.leak || !after || !wrong.empty() || (!fired && !problem.empty());
  if (!sweep) {
    printf("\nscenario %s: %ld %s\n", sc.name, n, sc.what);
    if (!fault.call.empty())
      printf("  fault: call %ld of %s fails (%s)\n", fault.at, fault.call.c_str(), fired ? "made" : "not made");
    PrintCounts(counts);
    for (const std::string& m : messages) printf("  message: %s\n", m.c_str());
    if (beeps) printf("  beeps: %ld\n", beeps);
    if (!problem.empty()) printf("  seen: %s\n", problem.c_str());
    if (!wrong.empty()) printf("  wrong: %s\n", wrong.c_str());
    printf("  result: %s%s%s%s\n", bad ? "FAILED" : "ok", r.leak ? ", live at the end: " : "", r.live.c_str(),
           after ? "" : (", afterwards " + why).c_str());
  } else {
    printf("case %s %s calls=%ld messages=%u beeps=%ld leak=%s after=%s fresh=%s wrong=%s%s%s\n", g_caseName,
           fired ? "fired" : "not-reached", calls, (unsigned)messages.size(), beeps, r.leak ? r.live.c_str() : "none",
           after ? "ok" : "FAILED", differs ? "differs" : "same", wrong.empty() ? "none" : "yes",
           problem.empty() ? "" : " seen=", problem.c_str());
    if (!wrong.empty()) printf("wrong %s %s\n", g_caseName, wrong.c_str());
    for (const std::string& m : messages) printf("message %s %s\n", g_caseName, m.c_str());
  }
  if (firedOut) *firedOut = fired;
  return !bad;
}

// Faults "CALL:N[,CALL:N...]" (N defaults to 1); false for an unknown call or a bad number.
bool ParseFaults(const char* text, std::vector<Fault>* faults) {
  std::string list = text;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string spec = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t colon = spec.find(':');
    Fault f = {spec.substr(0, colon), colon == std::string::npos ? 1 : atol(spec.c_str() + colon + 1)};
    bool known = SoakSetFault(f.call.c_str(), 1);
    SoakSetFault(nullptr, 0);
    if (f.at <= 0 || f.call.empty() || !known) return false;
    faults->push_back(f);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// The date command and the editor: the helper that records its command line,
// when it is built beside dxlhost; otherwise a program that does not exist.
void WriteSettings(Soak* s, const std::string& library) {
  std::string ini = library.substr(0, library.rfind('.')) + ".ini";
  char user[256];
  DWORD size = sizeof user;
  if (!GetUserNameA(user, &size)) lstrcpyA(user, "Default");
  std::string helper = ProgramDirectory() + "recordargs.exe";
  if (GetFileAttributesA(helper.c_str()) == INVALID_FILE_ATTRIBUTES) helper = s->folder + "no-such-program.exe";
  std::string program = "\"" + helper + "\" %Y/%M/%D";
  WritePrivateProfileStringA(user, "Program", program.c_str(), ini.c_str());
  WritePrivateProfileStringA(user, "Editor", ("\"" + helper + "\"").c_str(), ini.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", s->recordFile.c_str());
}


}  // namespace

int RunSoakCommand(int argc, char** argv) {
  if (argc < 1) {
    SoakUsage();
    return 2;
  }
  const char* library = argv[0];
  const char* data = nullptr;
  std::string only;
  long count = 0;
  std::vector<Fault> faults;
  std::string sweepCall;
  long sweepFrom = 1, maxN = 0;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!strcmp(a, "--list")) {
      list = true;
      continue;
    }
    if (!v) {
      SoakUsage();
      return 2;
    }
    ++i;
    if (!strcmp(a, "--data")) data = v;
    else if (!strcmp(a, "--scenario")) only = std::string(",") + v + ",";
    else if (!strcmp(a, "--count")) count = atol(v);
    else if (!strcmp(a, "--max-n")) maxN = atol(v);
    else if (!strcmp(a, "--fail") || !strcmp(a, "--sweep")) {
      std::vector<Fault> parsed;
      if (!ParseFaults(v, &parsed) || (!strcmp(a, "--sweep") && parsed.size() != 1)) {
        fprintf(stderr, "dxlhost soak: unknown call or bad number in %s\n", v);
        return 2;
      }
      if (!strcmp(a, "--fail")) faults = parsed;
      else sweepCall = parsed[0].call, sweepFrom = parsed[0].at;
    } else {
      SoakUsage();
      return 2;
    }
  }
  std::vector<const Scenario*> chosen;
  for (int i = 0; i < kScenarioCount; ++i) {
    const Scenario& sc = kScenarios[i];
    if (only.empty() || only.find("," + std::string(sc.name) + ",") != std::string::npos) chosen.push_back(&sc);
  }
  if (chosen.empty()) {
    fprintf(stderr, "dxlhost soak: no such scenario in %s\n", only.c_str());
    return 2;
  }

  Soak s;
  std::string copy;
  if (!StageLibrary(library, data, &s.folder, &copy)) {
    fprintf(stderr, "dxlhost soak: cannot copy %s into a temporary folder\n", library);
    return 1;
  }
  s.recordFile = s.folder + "clicked.txt";
  WriteSettings(&s, copy);

  int result = 1;
  if (LoadDxlOrComplain(copy.c_str(), &s.api) && CanvasOpen(&s.canvas)) {
    int hooked = SoakInstallHooks(s.api.module);
    if (list) {
      for (int i = 0; i < kScenarioCount; ++i)
        printf("scenario %s %ld %s\n", kScenarios[i].name, kScenarios[i].count, kScenarios[i].what);
      for (int i = 0; i < SoakFailableCount(); ++i)
        if (SoakFailableImported(i)) printf("call %s\n", SoakFailableName(i));
      result = 0;
    } else {
      printf("soak: %s, %d imports counted, temporary folder %s\n", copy.c_str(), hooked, s.folder.c_str());
      printf("kept for the whole process by design: the tip window, made while loading\n");
      SetUnhandledExceptionFilter(ReportCrash);
      // Long soaks without a fault take as long as they take.
      if (!faults.empty() || !sweepCall.empty()) CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
      if (faults.empty()) faults.push_back(Fault{std::string(), 0});
      Picture reference;
      SoakReset();
      bool referenceOk = TakePicture(&s, &reference);
      s.reference = reference.peek;
      if (!referenceOk) printf("soak: a chip cannot be painted at all\n");
      int failures = referenceOk ? 0 : 1;
      for (const Scenario* sc : chosen) {
        long n = count > 0 ? count : sc->count;
        if (sweepCall.empty()) {
          for (const Fault& f : faults)
            if (!RunOneCase(&s, *sc, n, f, false, reference, nullptr)) ++failures;
          continue;
        }
        for (long at = sweepFrom;; ++at) {
          bool fired = false;
          if (!RunOneCase(&s, *sc, n, Fault{sweepCall, at}, true, reference, &fired)) ++failures;
          if (!fired || (maxN > 0 && at >= maxN)) break;
        }
        printf("sweep-end %s %s\n", sc->name, sweepCall.c_str());
      }
      g_caseSerial = 0;
      result = failures ? 1 : 0;
      printf("\nsoak: %s\n", failures ? "FAILED" : "ok");
    }
  }
  CanvasClose(&s.canvas);
  UnloadDxl(&s.api);
  RemoveStagedFolder(s.folder);
  return result;
}
