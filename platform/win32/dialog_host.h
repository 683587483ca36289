// Runs the main dialog from template 102 and turns its window messages into
// calls on the dialog's handler.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

namespace devov::win32 {

class Win32DialogHost : public platform::DialogHost {
 public:
  int run_main_dialog(platform::DialogHandler& handler) override;

  // The main dialog's window while it exists (also while it is still hidden
  // during initialisation), else nullptr. Message boxes take it as owner.
  HWND main_dialog() const { return dialog_; }
  void set_main_dialog(HWND dialog) { dialog_ = dialog; }

 private:
  HWND dialog_ = nullptr;
};

// The text of a hand-over message: at most `size` bytes, ending at the first
// zero byte if there is one; empty without data.
std::string copy_data_text(const void* data, DWORD size);

}  // namespace devov::win32
