// The record the library starts the user's text editor with, seen at the
// library's own import of CreateProcessA on the way to the system.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "dxlhost/paint.h"
#include "host/loader.h"
#include "soak/accounting.h"
#include "soak/iat.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

struct StartRecord {
  int calls;
  bool applicationNull, environmentNull, directoryNull;
  BOOL inherit;
  DWORD flags;
  STARTUPINFOA startup;
  BOOL result;
};
StartRecord g_start;
decltype(&CreateProcessA) g_next = nullptr;

BOOL WINAPI RecordCreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                                LPSECURITY_ATTRIBUTES threadSecurity, BOOL inherit, DWORD flags, LPVOID environment,
                                LPCSTR directory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) {
  ++g_start.calls;
  g_start.applicationNull = application == nullptr;
  g_start.environmentNull = environment == nullptr;
  g_start.directoryNull = directory == nullptr;
  g_start.inherit = inherit;
  g_start.flags = flags;
  if (startup) g_start.startup = *startup;
  g_start.result = g_next(application, commandLine, processSecurity, threadSecurity, inherit, flags, environment,
                          directory, startup, process);
  return g_start.result;
}

TEST(HostStartCommand, EditorStartsShownByDefaultWithNothingInheritedOrKept) {
  LibraryCopy lib(true);
  ASSERT_TRUE(lib.ok());
  std::string record = lib.File("editor.txt");
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", record.c_str());
  lib.WriteUserSetting("Flags", "1");
  lib.WriteUserSetting("Editor", ("\"" + ProgramDirectory() + "recordargs.exe\"").c_str());
  DxlApi api;
  ASSERT_TRUE(LoadDxl(lib.library().c_str(), &api));
  // The soak's counting hook sits between ours and the system.
  ASSERT_GT(SoakInstallHooks(api.module), 0);
  ASSERT_EQ(1, PatchImport(api.module, "CreateProcessA", reinterpret_cast<void*>(&RecordCreateProcess),
                           reinterpret_cast<void**>(&g_next)));
  HostChip chip;
  ASSERT_TRUE(CreateMemoChip(&api, "1998/2", 1, &chip));
  memset(&g_start, 0, sizeof g_start);
  SoakReset();
  api.DoDrawExMenu(chip.chip, chip.window, 10007);  // edit TODAY.CNF
  SoakSettle();
  const SoakCount* counts = SoakCounts();
  const SoakCount process = counts[kSoakProcess], thread = counts[kSoakThread];
  HostDestroy(&api, &chip);
  HostChipFree(&chip);
  UnloadDxl(&api);
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", nullptr);

  ASSERT_EQ(1, g_start.calls);
  EXPECT_TRUE(g_start.result) << "the editor was started";
  EXPECT_TRUE(g_start.applicationNull) << "the program comes from the command line";
  EXPECT_FALSE(g_start.inherit) << "no handles inherited";
  EXPECT_EQ(0u, g_start.flags) << "creation flags";
  EXPECT_TRUE(g_start.environmentNull && g_start.directoryNull) << "the host's environment and folder";
  const STARTUPINFOA& s = g_start.startup;
  EXPECT_EQ(sizeof(STARTUPINFOA), s.cb);
  EXPECT_EQ(0u, s.dwFlags) << "no start-up flags";
  EXPECT_EQ(SW_SHOWDEFAULT, s.wShowWindow);
  EXPECT_TRUE(!s.lpReserved && !s.lpDesktop && !s.lpTitle && !s.cbReserved2 && !s.lpReserved2);
  EXPECT_TRUE(!s.hStdInput && !s.hStdOutput && !s.hStdError);
  EXPECT_TRUE(process.created == 1 && process.released == 1) << "process handle made " << process.created
                                                             << ", closed " << process.released;
  EXPECT_TRUE(thread.created == 1 && thread.released == 1) << "thread handle made " << thread.created << ", closed "
                                                           << thread.released;
}

}  // namespace
