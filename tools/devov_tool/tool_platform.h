// The platform services the tool's commands run the program's code on: the
// POSIX ones, with boxes going to standard error and the log to nowhere
// unless a command captures it.
#pragma once

#include "emulator/emulated_library.h"
#include "emulator/registry_file.h"
#include "platform/platform.h"
#include "platform/posix/host_services.h"
#include "platform/posix/progress_window.h"
#include "platform/posix/socket_link.h"
#include "platform/posix/terminal.h"
#include "platform/posix/terminal_dialog_host.h"

namespace devov::tool {

// Installs itself for its lifetime.
class ToolPlatform {
 public:
  ToolPlatform();

 private:
  std::string folder_;
  posix::TerminalBoxes boxes_{-1, stderr};
  posix::PosixClock clock_;
  posix::HostSystemInfo system_{emulator::HostConfig{}};
  posix::PosixProcessControl process_;
  posix::CompiledResources resources_;
  posix::SocketLink link_{""};
  posix::HostDriveC drive_c_{"/nonexistent"};
  emulator::EmulatedLibrary library_{emulator::HostConfig{}};
  posix::TerminalDialogHost dialogs_{"", -1, stderr};
  emulator::RegistryFile registry_;
  posix::PosixEvents events_;
  posix::TerminalProgressWindow progress_{stderr};
  platform::Services services_{boxes_,    clock_,    system_,   process_,
                               resources_, link_,    drive_c_,  library_,
                               dialogs_,  registry_, events_,   progress_};
};

}  // namespace devov::tool
