// Runs the main dialog in the terminal: the handler's initialisation, then,
// unless it ended the dialog, a loop that draws the dialog, reads a key line
// from standard input and serves hand-overs from second instances.
#pragma once

#include <cstdio>
#include <string>

#include "platform/dialog.h"
#include "platform/posix/socket_link.h"
#include "platform/view_state.h"

namespace devov::posix {

class TerminalDialogHost : public platform::DialogHost {
 public:
  TerminalDialogHost(std::string host_folder, int in, std::FILE* out);
  int run_main_dialog(platform::DialogHandler& handler) override;

 private:
  class View;
  std::string folder_;
  int in_;
  std::FILE* out_;
};

}  // namespace devov::posix
