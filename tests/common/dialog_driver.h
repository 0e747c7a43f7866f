// Drives a modal dialog from its own thread: a thread timer, dispatched by
// the dialog's modal loop, runs one step a tick on the dialog and dismisses
// any message box it finds (recording its text). After the safety time it
// closes whatever is open, so a failed step never leaves the loop hanging.
// With DriveNestedDialogs the dialogs the driven one opens (an open-file
// dialog) are driven too: a step gets the dialog that has the input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class DialogDriver {
 public:
  using Step = std::function<void(HWND dialog)>;
  // A step that runs again each tick until it returns true.
  using Until = std::function<bool(HWND dialog)>;

  // dialogControl: an identifier only the driven dialog has.
  explicit DialogDriver(int dialogControl) : control_(dialogControl) {}
  ~DialogDriver() { Stop(); }

  void Add(Step step) {
    steps_.push_back([step](HWND dialog) {
      step(dialog);
      return true;
    });
  }
  void AddUntil(Until step) { steps_.push_back(std::move(step)); }
  void DriveNestedDialogs() { nested_ = true; }
  // Starts the timer; call right before the dialog's modal call.
  void Start() {
    current_ = this;
    ticks_ = 0;
    timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
  }
  void Stop() {
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (current_ == this) current_ = nullptr;
  }

  // Runs open(), which shows the dialog modally, with these steps and nested
  // dialogs driven; true when every step ran and the safety time did not strike.
  static bool Run(int dialogControl, const std::function<void()>& open, std::vector<Until> steps) {
    DialogDriver driver(dialogControl);
    driver.DriveNestedDialogs();
    for (Until& step : steps) driver.AddUntil(std::move(step));
    driver.Start();
    open();
    driver.Stop();
    return !driver.timedOut() && driver.stepsRun() == driver.steps_.size();
  }

  bool timedOut() const { return timedOut_; }
  bool sawDialog() const { return sawDialog_; }
  size_t stepsRun() const { return next_; }
  const std::vector<std::string>& boxes() const { return boxes_; }

  // Helpers for steps.
  static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  static std::string Text(HWND dialog, int id) {
    char buf[256];
    GetDlgItemTextA(dialog, id, buf, sizeof buf);
    return buf;
  }

 private:
  static const UINT kTickMs = 30;
  static const int kSafetyTicks = 15000 / kTickMs;

  struct Found {
    int control;
    bool nested;
    HWND dialog = nullptr;
    HWND box = nullptr;
    HWND active = nullptr;  // nested: the topmost enabled dialog
  };

  static BOOL CALLBACK FindWindows(HWND window, LPARAM param) {
    Found* found = reinterpret_cast<Found*>(param);
    char cls[16];
    if (!IsWindowVisible(window) || !GetClassNameA(window, cls, sizeof cls) || lstrcmpA(cls, "#32770")) return TRUE;
    if (GetDlgItem(window, found->control)) found->dialog = window;
    else if (!found->nested) found->box = window;
    if (found->nested && !found->active && IsWindowEnabled(window)) found->active = window;
    return TRUE;
  }

  static BOOL CALLBACK BoxText(HWND child, LPARAM param) {
    char cls[16], text[256];
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    if (!lstrcmpiA(cls, "Static") && text[0]) {
      *reinterpret_cast<std::string*>(param) = text;
      return FALSE;
    }
    return TRUE;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* d = current_;
    if (!d) return;
    Found found;
    found.control = d->control_;
    found.nested = d->nested_;
    EnumThreadWindows(GetCurrentThreadId(), FindWindows, reinterpret_cast<LPARAM>(&found));
    if (found.box) {
      std::string text;
      EnumChildWindows(found.box, BoxText, reinterpret_cast<LPARAM>(&text));
      d->boxes_.push_back(text);
      PostMessageA(found.box, WM_COMMAND, IDOK, 0);
      return;
    }
    if (!found.dialog) return;
    d->sawDialog_ = true;
    HWND target = found.active ? found.active : found.dialog;
    if (++d->ticks_ > kSafetyTicks) {
      d->timedOut_ = true;
      EndDialog(target, 99);  // a nested dialog first, then the driven one
      return;
    }
    if (d->inStep_ || d->next_ >= d->steps_.size()) return;
    d->inStep_ = true;
    size_t step = d->next_;
    if (d->steps_[step](target) && d->next_ == step) ++d->next_;
    d->inStep_ = false;
  }

  static inline DialogDriver* current_ = nullptr;
  int control_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool inStep_ = false;
  bool nested_ = false;
  bool timedOut_ = false;
  bool sawDialog_ = false;
  size_t next_ = 0;
  std::vector<Until> steps_;
  std::vector<std::string> boxes_;
};
