// The quiet-mode progress window in the terminal: the message, adapter and
// firmware lines and a bar of the blocks written. On a terminal it is
// redrawn in place whenever it is painted or the bar moves. Into a file or a
// pipe it writes the three lines once the bar has a range (and again if they
// change), then a bar line each time the bar grows by a cell, and the last.
#pragma once

#include <cstdio>
#include <string>

#include "platform/progress_window.h"

namespace devov::posix {

class TerminalProgressWindow : public platform::ProgressWindow {
 public:
  // `terminal` tells whether `out` is a terminal.
  TerminalProgressWindow(std::FILE* out, bool terminal);
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

 private:
  int span() const;
  int done() const;
  int cells() const;
  std::string bar_text() const;
  void draw_frame();
  void draw_bar();

  std::FILE* out_;
  bool terminal_;
  bool exists_ = false;
  bool shown_ = false;
  bool has_range_ = false;
  std::string message_, adapter_, firmware_;
  int low_ = 0, high_ = 0, position_ = 0;
  // What was last written, so that only changes are written again.
  std::string drawn_frame_, drawn_bar_;
  int drawn_cells_ = 0;
  // On a terminal: the cursor stands at the end of the bar line.
  bool bar_open_ = false;
};

}  // namespace devov::posix
