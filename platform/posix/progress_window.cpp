// The progress window in the terminal.
#include "platform/posix/progress_window.h"

#include <unistd.h>

#include <algorithm>

namespace devov::posix {
namespace {

constexpr int kBarCells = 40;

}  // namespace

TerminalProgressWindow::TerminalProgressWindow(std::FILE* out, bool terminal)
    : out_(out), terminal_(terminal) {}

TerminalProgressWindow::TerminalProgressWindow(std::FILE* out)
    : TerminalProgressWindow(out, isatty(fileno(out)) != 0) {}

bool TerminalProgressWindow::create() {
  exists_ = true;
  shown_ = false;
  has_range_ = false;
  message_.clear();
  adapter_.clear();
  firmware_.clear();
  low_ = high_ = position_ = 0;
  drawn_frame_.clear();
  drawn_bar_.clear();
  drawn_cells_ = 0;
  bar_open_ = false;
  return true;
}

void TerminalProgressWindow::destroy() {
  if (exists_ && shown_) {
    draw_frame();
    if (bar_open_) std::fputs("\n", out_);
    std::fflush(out_);
  }
  exists_ = shown_ = bar_open_ = false;
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
  has_range_ = true;
  draw_bar();
}

void TerminalProgressWindow::set_progress_position(int control, int position) {
  if (!exists_ || control != platform::kProgressBarControl) return;
  position_ = position;
  draw_bar();
}

void TerminalProgressWindow::paint_now() {
  if (!terminal_) return;
  draw_frame();
  draw_bar();
}

int TerminalProgressWindow::span() const { return std::max(high_ - low_, 0); }
int TerminalProgressWindow::done() const { return std::clamp(position_ - low_, 0, span()); }
int TerminalProgressWindow::cells() const {
  return span() > 0 ? done() * kBarCells / span() : 0;
}

std::string TerminalProgressWindow::bar_text() const {
  return "[" + std::string(static_cast<std::size_t>(cells()), '#') +
         std::string(static_cast<std::size_t>(kBarCells - cells()), ' ') + "] " +
         std::to_string(done()) + "/" + std::to_string(span());
}

void TerminalProgressWindow::draw_frame() {
  if (!shown_) return;
  const std::string frame = message_ + "\n" + adapter_ + "\n" + firmware_ + "\n";
  if (frame == drawn_frame_) return;
  if (terminal_ && !drawn_frame_.empty())
    // Back to the first of the three lines, clearing them and the bar line.
    std::fputs(bar_open_ ? "\r\x1b[3A\x1b[J" : "\x1b[3A\x1b[J", out_);
  std::fputs(frame.c_str(), out_);
  drawn_frame_ = frame;
  drawn_bar_.clear();
  bar_open_ = false;
  std::fflush(out_);
}

void TerminalProgressWindow::draw_bar() {
  if (!shown_ || !has_range_) return;
  draw_frame();
  const std::string bar = bar_text();
  if (bar == drawn_bar_) return;
  if (terminal_) {
    std::fputs(("\r" + bar).c_str(), out_);
    bar_open_ = true;
  } else {
    const bool last = done() == span();
    if (!drawn_bar_.empty() && cells() <= drawn_cells_ && !last) return;
    std::fputs((bar + "\n").c_str(), out_);
  }
  drawn_bar_ = bar;
  drawn_cells_ = cells();
  std::fflush(out_);
}

}  // namespace devov::posix
