// The settings store against real profile files under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

std::string TempDir() {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string d = std::string(dir) + "tarnivel_settings_test\\";
  CreateDirectoryA(d.c_str(), nullptr);
  return d;
}

std::string ReadFileText(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char buf[1024];
  DWORD n;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) text.append(buf, n);
  CloseHandle(h);
  return text;
}

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir();
    module_ = dir_ + "Tarnivel.dxl";
    ini_ = dir_ + "Tarnivel.ini";
    DeleteFileA(ini_.c_str());
  }
  void TearDown() override {
    DeleteFileA(ini_.c_str());
    RemoveDirectoryA(dir_.c_str());
    InitSettings();  // back to the test program's own file
  }
  std::string dir_, module_, ini_;
};

TEST_F(SettingsFile, FirstLoadCreatesFileWithVersion) {
  InitSettingsWith(module_.c_str(), "alice");
  EXPECT_STREQ(ini_.c_str(), SettingsFilePath());
  EXPECT_STREQ("alice", SettingsUserSection());
  EXPECT_EQ(2, GetPrivateProfileIntA("alice", "Version", -1, ini_.c_str()));
  EXPECT_EQ(3, ReadSettingInt(kUserSection, IDS_KEY_FLAGS, 3)) << "Flags is read with its default";
}

TEST_F(SettingsFile, VersionPresentIsNotRewritten) {
  WritePrivateProfileStringA("bob", "Version", "5", ini_.c_str());
  InitSettingsWith(module_.c_str(), "bob");
  EXPECT_EQ(5, GetPrivateProfileIntA("bob", "Version", -1, ini_.c_str()));
}

TEST_F(SettingsFile, UserNameFallsBackToDefault) {
  const char* names[] = {nullptr, "", "abcdefghijklmnopqrstuvwxyz012345" /* 32 bytes */};
  for (const char* name : names) {
    InitSettingsWith(module_.c_str(), name);
    EXPECT_STREQ("Default", SettingsUserSection()) << "user name " << (name ? name : "(none)");
  }
  InitSettingsWith(module_.c_str(), "abcdefghijklmnopqrstuvwxyz01234" /* 31 bytes */);
  EXPECT_STREQ("abcdefghijklmnopqrstuvwxyz01234", SettingsUserSection());
}

TEST_F(SettingsFile, WritesLandInTheirSections) {
  InitSettingsWith(module_.c_str(), "carol");
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, -7);
  WriteSettingString(kUserSection, IDS_KEY_PROGRAM, "calc.exe %Y");
  WriteIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, 3, "C:\\S3.TBL");
  WriteSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_HOLIDAYTBL, "C:\\HOLIDAY.TBL");

  EXPECT_EQ(-7, ReadSettingInt(kUserSection, IDS_KEY_FLAGS, 3));
  char buf[260];
  EXPECT_EQ(11u, ReadSettingString(kUserSection, IDS_KEY_PROGRAM, "", buf, sizeof buf));
  EXPECT_STREQ("calc.exe %Y", buf);
  EXPECT_EQ(9u, ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, 3, "", buf, sizeof buf));
  EXPECT_STREQ("C:\\S3.TBL", buf);
  EXPECT_EQ(0u, ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, 4, "", buf, sizeof buf));
  EXPECT_STREQ("", buf);

  std::string text = ReadFileText(ini_);
  EXPECT_NE(std::string::npos, text.find("[carol]")) << text;
  EXPECT_NE(std::string::npos, text.find("Flags=-7")) << text;
  EXPECT_NE(std::string::npos, text.find("[$TodayTemp]")) << text;
  EXPECT_NE(std::string::npos, text.find("ScheduleFile3=C:\\S3.TBL")) << text;

  ClearSettingSection(IDS_SECTION_TODAYTEMP);
  ClearSettingSection(kUserSection);  // refused: the user section stays
  text = ReadFileText(ini_);
  EXPECT_EQ(std::string::npos, text.find("$TodayTemp")) << text;
  EXPECT_NE(std::string::npos, text.find("Flags=-7")) << text;
}

TEST_F(SettingsFile, ShortBuffersAreNotOverrun) {
  InitSettingsWith(module_.c_str(), "dave");
  WriteSettingString(kUserSection, IDS_KEY_EDITOR, "notepad.exe");
  char buf[8];
  memset(buf, 'X', sizeof buf);
  ReadSettingString(kUserSection, IDS_KEY_EDITOR, "", buf, 5);
  EXPECT_EQ('\0', buf[4]);
  EXPECT_EQ('X', buf[5]);
  EXPECT_EQ(0u, ReadSettingString(kUserSection, IDS_KEY_EDITOR, "", buf, 0));
  EXPECT_EQ(0u, ReadSettingString(kUserSection, IDS_KEY_EDITOR, "", nullptr, 8));
}

// InitSettingsWith writes the version into the file it names, wherever that
// is; this removes such a file again unless it was there before.
class SettingsFileRemoved {
 public:
  explicit SettingsFileRemoved(const char* settings) : path_(settings) {
    if (path_.find('\\') == std::string::npos) {  // a bare name lies in the Windows folder
      char windows[MAX_PATH];
      GetWindowsDirectoryA(windows, sizeof windows);
      path_ = std::string(windows) + "\\" + path_;
    }
    existed_ = GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  ~SettingsFileRemoved() {
    if (existed_) return;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
    DeleteFileA(path_.c_str());
  }

 private:
  std::string path_;
  bool existed_;
};

struct PathCase {
  const char* module;
  const char* settings;
  const char* help;
};

TEST(SettingsPath, ExtensionReplacedAfterLastDot) {
  const PathCase cases[] = {
      {"C:\\DXL\\Tarnivel.dxl", "C:\\DXL\\Tarnivel.ini", "C:\\DXL\\Tarnivel.hlp"},
      {"C:\\DXL\\Tarnivel", "Tarnivel.ini", ""},                   // no '.' at all
      {"C:\\my.dir\\Tarnivel", "C:\\my.ini", "C:\\my.hlp"},        // the directory's '.'
      {"C:\\DXL\\T.d", "C:\\DXL\\T.ini", "C:\\DXL\\T.hlp"},        // shorter extension
      {"C:\\\x95\x5C.dxl", "C:\\\x95\x5C.ini", "C:\\\x95\x5C.hlp"},  // double-byte name
  };
  for (const PathCase& c : cases) {
    SettingsFileRemoved removed(c.settings);
    InitSettingsWith(c.module, "erin");
    EXPECT_STREQ(c.settings, SettingsFilePath()) << "module " << c.module;
    char help[MAX_PATH];
    int ok = HelpPathFor(c.module, help, sizeof help);
    EXPECT_EQ(c.help[0] != '\0', ok != 0) << "module " << c.module;
    EXPECT_STREQ(c.help, help) << "module " << c.module;
  }
  InitSettings();
}

TEST(SettingsPath, LongPathNeverOverrunsTheBuffer) {
  // 259 bytes ending in ".d": "ini" needs one byte more than the buffer has.
  std::string longPath = "C:\\" + std::string(254, 'a') + ".d";
  ASSERT_EQ(259u, longPath.size());
  char help[262];
  memset(help, 'X', sizeof help);
  EXPECT_EQ(0, HelpPathFor(longPath.c_str(), help, 260));
  EXPECT_EQ('X', help[260]);
  EXPECT_EQ('X', help[261]);

  // 258 bytes: "ini" fits exactly into 260 bytes with the terminator.
  std::string fits = longPath.substr(0, 255) + ".d";
  ASSERT_EQ(257u, fits.size());
  EXPECT_EQ(1, HelpPathFor(fits.c_str(), help, 260));
  EXPECT_EQ(fits.substr(0, 256) + "hlp", std::string(help));
  EXPECT_EQ('X', help[260]);

  {
    SettingsFileRemoved removed("Tarnivel.ini");
    InitSettingsWith(longPath.c_str(), "frank");
    EXPECT_STREQ("Tarnivel.ini", SettingsFilePath());
  }
  InitSettings();
}

TEST(SettingsPath, ProgramPathGivesIniBesideIt) {
  InitSettings();
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, sizeof module);
  std::string expected(module);
  expected = expected.substr(0, expected.rfind('.') + 1) + "ini";
  EXPECT_STREQ(expected.c_str(), SettingsFilePath());
  char user[64];
  DWORD size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  EXPECT_STREQ(user, SettingsUserSection());
}

}  // namespace
