// Scratch folders for tests: each test works in a folder of its own under the
// system's temporary folder, removed with everything in it at the end, so no
// test leaves files or settings behind in the build tree.
#pragma once

#include <windows.h>

#include <string>

// Removes a folder and everything below it.
void RemoveTree(const std::string& path);

// The folder of the running program, with its trailing backslash.
std::string TestProgramFolder();
// The build folder that holds the built library and programs, with its
// trailing backslash: the program's own folder, or for a test program that
// runs as a copy in a temporary folder the one it was copied from.
std::string BuildFolder();
// The variable through which such a copy learns its build folder.
extern const char kBuildFolderVariable[];

class TempFolder {
 public:
  // Creates %TEMP%\<prefix>_<process>_<n>\, empty.
  explicit TempFolder(const char* prefix = "tarnivel");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return ok_; }
  // Full path with a trailing backslash.
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  bool Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;  // empty when missing
  bool CopyIn(const std::string& from, const std::string& name) const;

 private:
  std::string path_;
  bool ok_;
};

// A copy of the built library (Tarnivel.dxl in the build folder) in a
// folder of its own. A host test loads this copy, so the settings file the
// library keeps beside itself is made there and goes with the folder. With
// withExamples the sample scheduler files lie beside it, as in the gallery.
// The settings section the library uses for the user running the tests.
std::string UserSection();

class LibraryCopy : public TempFolder {
 public:
  explicit LibraryCopy(bool withExamples = false);
  const std::string& library() const { return library_; }
  // The settings file beside the copy.
  std::string SettingsFile() const { return File("Tarnivel.ini"); }
  // Writes key=value into the user's section of that file; null removes it.
  bool WriteUserSetting(const char* key, const char* value) const;

 private:
  std::string library_;
};
