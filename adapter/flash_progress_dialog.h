// FlashProgressDialog: the progress window of a quiet-mode flash write, made
// from template 130 when constructed, hidden until shown, destroyed with the
// object.
#pragma once

#include <string>

#include "platform/progress_window.h"

namespace devov {

class FlashProgressDialog {
 public:
  FlashProgressDialog();
  ~FlashProgressDialog();
  FlashProgressDialog(const FlashProgressDialog&) = delete;
  FlashProgressDialog& operator=(const FlashProgressDialog&) = delete;

  // Puts the texts into the controls (the message line becomes " Please
  // wait..." when it is empty) and paints the window now.
  void show_progress_text();

  platform::ProgressWindow& window() { return window_; }

  // The text of the message line 1033.
  std::string message_text;

 private:
  platform::ProgressWindow& window_;
};

}  // namespace devov
