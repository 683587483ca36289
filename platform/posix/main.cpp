// The POSIX program: the update utility over the virtual host that
// DEVOV_PREFIX names, with the emulated request library linked in.
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/emulated_library.h"
#include "emulator/host_config.h"
#include "emulator/registry_file.h"
#include "emulator/virtual_host.h"
#include "platform/platform.h"
#include "platform/posix/host_services.h"
#include "platform/posix/progress_window.h"
#include "platform/posix/socket_link.h"
#include "platform/posix/terminal.h"
#include "platform/posix/terminal_dialog_host.h"
#include "shell/update_app.h"

int main(int argc, char** argv) {
  using namespace devov;
  const std::string folder = emulator::host_folder_from_environment();
  if (folder.empty() || !emulator::ensure_host_folder(folder)) {
    std::fprintf(stderr, "6271devov: cannot make the virtual host folder '%s' "
                 "(set DEVOV_PREFIX)\n", folder.c_str());
    return 1;
  }
  const emulator::HostConfig config = emulator::read_host_config(folder);

  posix::TerminalBoxes boxes(0, stdout);
  posix::PosixClock clock;
  posix::HostSystemInfo system(config);
  posix::PosixProcessControl process;
  posix::CompiledResources resources;
  posix::SocketLink link(folder);
  posix::HostDriveC drive_c(folder);
  // The host's registry, with each adapter's hardware-profile flag as its
  // description says; a host without a registry file has an empty one. The
  // library reads network-class subkeys through it and opens the adapters
  // of the host folder.
  emulator::RegistryFile registry;
  emulator::load_host_registry(folder, registry);
  emulator::EmulatedLibrary library(config, folder, registry);
  posix::TerminalDialogHost dialogs(folder, 0, stdout);
  posix::PosixEvents events;
  posix::TerminalProgressWindow progress(stdout);
  platform::Services services{boxes,   clock,   system,   process, resources, link,
                              drive_c, library, dialogs, registry, events,    progress};
  platform::install(services);

  std::vector<std::string> arguments(argv, argv + argc);
  return run_program(arguments);
}
