// The quiet-mode progress window in the terminal: the message, adapter and
// firmware lines and a bar of the blocks written. On a terminal it redraws
// in place; into a file or a pipe it writes a frame when the texts change
// and a bar line when the bar grows by a cell.
#pragma once

#include <cstdio>
#include <string>

#include "platform/progress_window.h"

namespace devov::posix {

class TerminalProgressWindow : public platform::ProgressWindow {
 public:
  explicit TerminalProgressWindow(std::FILE* out);

  bool create() override;
  void destroy() override;
  void center() override {}
  void show() override;
  void set_text(int control, const std::string& text) override;
  void hide_caret(int) override {}
  void set_progress_range(int control, int low, int high) override;
  void set_progress_position(int control, int position) override;
  void paint_now() override;

  // The bar as drawn: "[#####     ] 5/10".
  std::string bar_text() const;

 private:
  void draw_frame();
  void draw_bar();

  std::FILE* out_;
  bool terminal_ = false;
  bool exists_ = false;
  bool shown_ = false;
  std::string message_, adapter_, firmware_;
  int low_ = 0, high_ = 100, position_ = 0;
  // What was last written, so that only changes are written again.
  std::string drawn_frame_, drawn_bar_;
  bool bar_open_ = false;
};

}  // namespace devov::posix
