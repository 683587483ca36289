// The progress bar a flash write advances: the main dialog's bar or the one
// of the quiet-mode progress window.
#pragma once

#include "platform/dialog.h"
#include "platform/progress_window.h"

namespace devov {

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void set_range(int low, int high) = 0;
  virtual void set_position(int position) = 0;
};

// A progress bar control of the main dialog.
class DialogProgressBar : public ProgressBar {
 public:
  DialogProgressBar(platform::DialogView& view, int control) : view_(view), control_(control) {}
  void set_range(int low, int high) override { view_.set_progress_range(control_, low, high); }
  void set_position(int position) override { view_.set_progress_position(control_, position); }

 private:
  platform::DialogView& view_;
  int control_;
};

// A progress bar control of the progress window.
class WindowProgressBar : public ProgressBar {
 public:
  WindowProgressBar(platform::ProgressWindow& window, int control)
      : window_(window), control_(control) {}
  void set_range(int low, int high) override { window_.set_progress_range(control_, low, high); }
  void set_position(int position) override {
    window_.set_progress_position(control_, position);
  }

 private:
  platform::ProgressWindow& window_;
  int control_;
};

}  // namespace devov
