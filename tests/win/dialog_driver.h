// Drives modal dialogs from their own thread: a thread timer runs one step
// at a time against the dialog that has the input (the topmost enabled one),
// and a safety deadline ends every dialog left open if the steps stall.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A step returns true when it is done; false makes it run again next tick.
typedef std::function<bool(HWND dialog)> DialogStep;

class DialogDriver {
 public:
  // Runs open() (which shows a modal dialog and returns when it ends) while
  // the steps drive it; true when every step ran and no deadline struck.
  static bool Run(const std::function<void()>& open, std::vector<DialogStep> steps, int deadlineMs = 20000) {
    DialogDriver driver;
    driver.steps_ = std::move(steps);
    driver.ticksLeft_ = deadlineMs / kTickMs;
    current_ = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
    open();
    KillTimer(nullptr, timer);
    current_ = nullptr;
    EXPECT_FALSE(driver.timedOut_) << "the dialog was ended by the safety deadline at step " << driver.next_;
    EXPECT_EQ(driver.steps_.size(), driver.next_) << "steps left undone";
    return !driver.timedOut_ && driver.next_ == driver.steps_.size();
  }

  // The enabled, visible dialog of this thread that has the input.
  static HWND ActiveDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  static std::string Text(HWND window) {
    char text[1024];
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
  }
  static std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
  static std::string ClassOf(HWND window) {
    char cls[64];
    int n = GetClassNameA(window, cls, sizeof cls);
    return std::string(cls, n > 0 ? n : 0);
  }

 private:
  enum { kTickMs = 50 };

  static BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    // Enumeration runs from the top of the z-order down.
    if (IsWindowVisible(window) && IsWindowEnabled(window) && ClassOf(window) == "#32770") {
      *reinterpret_cast<HWND*>(param) = window;
      return FALSE;
    }
    return TRUE;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* d = current_;
    if (!d || d->busy_) return;
    HWND dialog = ActiveDialog();
    if (--d->ticksLeft_ < 0) {
      d->timedOut_ = true;
      if (dialog) EndDialog(dialog, 0);
      return;
    }
    if (!dialog || d->next_ >= d->steps_.size()) return;
    // A step may open a nested modal loop (a file dialog) that ticks too.
    d->busy_ = true;
    size_t index = d->next_;
    bool done = d->steps_[index](dialog);
    d->busy_ = false;
    if (done && d->next_ == index) ++d->next_;
  }

  std::vector<DialogStep> steps_;
  size_t next_ = 0;
  int ticksLeft_ = 0;
  bool timedOut_ = false;
  bool busy_ = false;
  static DialogDriver* current_;
};

inline DialogDriver* DialogDriver::current_ = nullptr;
