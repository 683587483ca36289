// The quiet-mode progress window over dialog template 130: a modeless dialog
// without a parent, painted on request because no message loop runs while
// the flash is written.
#pragma once

#include <windows.h>

#include "platform/progress_window.h"

namespace devov::win32 {

class Win32ProgressWindow : public platform::ProgressWindow {
 public:
  Win32ProgressWindow() = default;
  Win32ProgressWindow(const Win32ProgressWindow&) = delete;
  Win32ProgressWindow& operator=(const Win32ProgressWindow&) = delete;
  ~Win32ProgressWindow() override;

  bool create() override;
  void destroy() override;
  void center() override;
  void show() override;
  void set_text(int control, const std::string& text) override;
  void hide_caret(int control) override;
  void set_progress_range(int control, int low, int high) override;
  void set_progress_position(int control, int position) override;
  void paint_now() override;

  // The window while it exists, else nullptr.
  HWND window() const { return window_; }

 private:
  HWND item(int control) const { return window_ ? GetDlgItem(window_, control) : nullptr; }

  HWND window_ = nullptr;
};

}  // namespace devov::win32
