// TarnivelDesk.exe run as a user runs it: a copy beside the library in a
// folder of its own, with an APPDATA of its own, driven by the real cursor
// and real messages from the test's side.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/common/tempfolder.h"

// Polls until done() holds or ms pass.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = 20000);

class DeskProgram : public LibraryCopy {
 public:
  // withExamples: the sample scheduler files beside the program.
  explicit DeskProgram(bool withLibrary = true, bool withExamples = false);
  ~DeskProgram();  // ends a program still running

  // Started with this current folder (null: the program's own), as a start
  // from the Run key at logon starts it in the Windows folder.
  bool Start(const char* currentFolder = nullptr);
  // Another start of the same program and data folder; its exit code.
  int StartAgain() const;
  // The shown chip windows of the running program.
  std::vector<HWND> Chips() const;
  bool WaitChips(size_t count) const;
  // A visible dialog of the program with this control (0: any), or null.
  HWND Dialog(int control) const;
  // Waits for a message box, answers it with the button and gives its text
  // (UTF-8).
  std::string AnswerBox(int button) const;
  // A right click on the chip and the host item counted from the menu's end.
  bool ChooseFromEnd(HWND chip, int fromEnd) const;
  // Presses the left button on the chip, moves by dx, dy and lets go; gives
  // how far the cursor really went.
  POINT Drag(HWND chip, int dx, int dy) const;
  int WaitExit(DWORD ms = 20000);
  void Kill();
  // The kept file as it is now, read without keeping the program from
  // replacing it; empty when it cannot be opened.
  std::string Kept() const;
  bool Keep(const std::string& kept) const;  // the kept file the program finds
  std::string KeptPath() const { return File("AppData\\Tarnivel\\TarnivelDesk.ini"); }
  std::string Log() const { return Read("desk.log"); }
  HANDLE process() const { return pi_.hProcess; }
  // The running program's hidden main window, which takes its messages.
  HWND MainWindow() const;
  // A visible dialog's caption (UTF-8), or empty.
  static std::string Caption(HWND window);

 private:
  bool Launch(PROCESS_INFORMATION* pi, const char* currentFolder = nullptr) const;
  PROCESS_INFORMATION pi_;
};

// The chip menu's host items, counted from its end.
enum DeskItem {
  kQuit = 1,
  kStartWithWindows,
  kAbout,
  kConfigure,
  kDelete,
  kTopmost,
  kBackground,
  kFont,
  kChipSettings,
  kNewChip
};

RECT WindowRect(HWND window);
