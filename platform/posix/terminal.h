// The main dialog and message boxes in the terminal. The dialog is drawn
// from the control state on a character grid where one character is 4 by 8
// dialog units, the size dialog units are defined by.
#pragma once

#include <cstdio>
#include <string>

#include "platform/message_boxes.h"
#include "platform/view_state.h"

namespace devov::posix {

// Renders the visible controls as lines of text. With `color` the status
// box is drawn red when its colour is red, the caution box always red.
std::string render_dialog(const platform::ViewState& view, bool color);

// The key a person types for an enabled, visible button; 0 for none.
char button_key(const platform::ViewState& view, int control);

// The commands of the hidden controls that the terminal offers as keys of
// their own while the program can work with adapters (Continue enabled):
// detection, selecting the first entry of the adapter list, closing the
// adapter, the driver version. 0 for another key.
int hidden_command_for_key(const platform::ViewState& view, const std::string& key);

class TerminalBoxes : public platform::MessageBoxes {
 public:
  TerminalBoxes(int in, std::FILE* out) : in_(in), out_(out) {}
  int show(platform::BoxOwner owner, const std::string& text,
           const std::optional<std::string>& caption, unsigned style) override;

 private:
  int in_;
  std::FILE* out_;
};

// Reads one line from the file descriptor, without its line end; false at
// end of input. Reads byte by byte and buffers nothing, so that polling the
// descriptor afterwards sees exactly what is still unread.
bool read_line(int in, std::string& line);

}  // namespace devov::posix
