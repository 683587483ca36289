// The POSIX program's progress window: what a quiet-mode write leaves in a
// log or pipe, that a terminal gets the bar redrawn in place, and that a
// window never shown writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/posix/progress_window.h"

namespace devov::test {
namespace {

// Runs the calls a quiet-mode write of three blocks makes.
void quiet_write(platform::ProgressWindow& window, bool show) {
  window.create();
  window.hide_caret(1033);
  if (show) {
    window.center();
    window.show();
    window.set_text(1057, "Adapter: Velk 6271 ");
    window.set_text(1058, "Station Firmware: Rev 1.5.3 from SU010503.HEX ");
    window.paint_now();
    window.set_text(1033, "Flash update in progress.  Please wait.");
    window.hide_caret(1033);
    window.paint_now();
  }
  window.set_progress_range(1035, 0, 3);
  for (int position : {1, 0, 1, 2, 3}) window.set_progress_position(1035, position);
  window.destroy();
}

std::string output_of(bool terminal, bool show) {
  std::FILE* file = std::tmpfile();
  posix::TerminalProgressWindow window(file, terminal);
  quiet_write(window, show);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

const std::string kLines =
    "Flash update in progress.  Please wait.\n"
    "Adapter: Velk 6271 \n"
    "Station Firmware: Rev 1.5.3 from SU010503.HEX \n";

TEST(TerminalProgressWindow, IntoAFileWritesTheLinesOnceAndTheBarAsItGrows) {
  EXPECT_EQ(output_of(false, true), kLines +
                                        "[                                        ] 0/3\n"
                                        "[#############                           ] 1/3\n"
                                        "[##########################              ] 2/3\n"
                                        "[########################################] 3/3\n");
}

TEST(TerminalProgressWindow, OnATerminalRedrawsInPlace) {
  const std::string text = output_of(true, true);
  EXPECT_NE(text.find("\x1b[3A\x1b[J" + kLines), std::string::npos)
      << "the second paint rewrites the three lines";
  EXPECT_NE(text.find("\r[#############                           ] 1/3\r"), std::string::npos);
  const std::string end = "\r[########################################] 3/3\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

TEST(TerminalProgressWindow, AWindowNeverShownWritesNothing) {
  EXPECT_EQ(output_of(false, false), "");
  EXPECT_EQ(output_of(true, false), "");
}

}  // namespace
}  // namespace devov::test
