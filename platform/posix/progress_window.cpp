// The progress window in the terminal.
#include "platform/posix/progress_window.h"

#include <unistd.h>

#include <algorithm>

namespace devov::posix {
namespace {

constexpr int kBarCells = 40;

}  // namespace

TerminalProgressWindow::TerminalProgressWindow(std::FILE* out)
    : out_(out), terminal_(isatty(fileno(out)) != 0) {}

bool TerminalProgressWindow::create() {
  exists_ = true;
  shown_ = false;
  message_.clear();
  adapter_.clear();
  firmware_.clear();
  low_ = 0;
  high_ = 100;
  position_ = 0;
  drawn_frame_.clear();
  drawn_bar_.clear();
  bar_open_ = false;
  return true;
}

void TerminalProgressWindow::destroy() {
  if (exists_ && shown_ && bar_open_) std::fputs("\n", out_);
  std::fflush(out_);
  exists_ = false;
  shown_ = false;
}

void TerminalProgressWindow::show() {
  if (exists_) shown_ = true;
}

void TerminalProgressWindow::set_text(int control, const std::string& text) {
  if (!exists_) return;
  if (control == platform::kProgressMessageLine) message_ = text;
  else if (control == platform::kProgressAdapterLine) adapter_ = text;
  else if (control == platform::kProgressFirmwareLine) firmware_ = text;
}

void TerminalProgressWindow::set_progress_range(int control, int low, int high) {
  if (!exists_ || control != platform::kProgressBarControl) return;
  low_ = low;
  high_ = high;
  draw_bar();
}

void TerminalProgressWindow::set_progress_position(int control, int position) {
  if (!exists_ || control != platform::kProgressBarControl) return;
  position_ = position;
  draw_bar();
}

void TerminalProgressWindow::paint_now() {
  draw_frame();
  draw_bar();
}

std::string TerminalProgressWindow::bar_text() const {
  const int span = high_ - low_;
  const int done = std::clamp(position_ - low_, 0, std::max(span, 0));
  const int cells = span > 0 ? done * kBarCells / span : 0;
  return "[" + std::string(static_cast<std::size_t>(cells), '#') +
         std::string(static_cast<std::size_t>(kBarCells - cells), ' ') + "] " +
         std::to_string(done) + "/" + std::to_string(std::max(span, 0));
}

void TerminalProgressWindow::draw_frame() {
  if (!shown_) return;
  const std::string frame = message_ + "\n" + adapter_ + "\n" + firmware_ + "\n";
  if (frame == drawn_frame_) return;
  if (terminal_ && !drawn_frame_.empty()) {
    // Back over the three lines and the bar line, then write them anew.
    std::fputs(bar_open_ ? "\r\x1b[3A\x1b[J" : "\x1b[3A\x1b[J", out_);
  } else if (bar_open_) {
    std::fputs("\n", out_);
  }
  std::fputs(frame.c_str(), out_);
  drawn_frame_ = frame;
  drawn_bar_.clear();
  bar_open_ = false;
  std::fflush(out_);
}

void TerminalProgressWindow::draw_bar() {
  if (!shown_ || drawn_frame_.empty()) return;
  const std::string bar = bar_text();
  if (terminal_) {
    if (bar == drawn_bar_) return;
    std::fputs(("\r" + bar).c_str(), out_);
    bar_open_ = true;
  } else {
    // One line for each cell the bar grows by, and the last count.
    const std::string cells = bar.substr(0, bar.find(']'));
    const std::string drawn = drawn_bar_.substr(0, drawn_bar_.find(']'));
    if (!drawn_bar_.empty() && cells == drawn && position_ != high_) return;
    if (bar == drawn_bar_) return;
    std::fputs((bar + "\n").c_str(), out_);
  }
  drawn_bar_ = bar;
  std::fflush(out_);
}

}  // namespace devov::posix
