// The progress window of a quiet-mode flash write, made from dialog template
// 130: a message line, the adapter line, the firmware line and a progress
// bar. While the write runs no window message is handled, so the program
// asks for painting explicitly.
#pragma once

#include <string>

namespace devov::platform {

// The controls of template 130, top to bottom.
inline constexpr int kProgressMessageLine = 1033;
inline constexpr int kProgressAdapterLine = 1057;
inline constexpr int kProgressFirmwareLine = 1058;
inline constexpr int kProgressBarControl = 1035;

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  // Makes the window from template 130 as a modeless window without a
  // parent, not shown. False when it could not be made; the other calls then
  // do nothing until the next create.
  virtual bool create() = 0;
  virtual void destroy() = 0;
  // Centres the window on the screen.
  virtual void center() = 0;
  virtual void show() = 0;
  virtual void set_text(int control, const std::string& text) = 0;
  // Hides the caret of an edit control.
  virtual void hide_caret(int control) = 0;
  virtual void set_progress_range(int control, int low, int high) = 0;
  virtual void set_progress_position(int control, int position) = 0;
  // Paints the window and every control now.
  virtual void paint_now() = 0;
};

}  // namespace devov::platform
