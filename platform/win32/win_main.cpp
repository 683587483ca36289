// The Windows program's entry: builds the Win32 services, installs them and
// runs the program with the process's argument vector.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/dialog_host.h"
#include "platform/win32/events.h"
#include "platform/win32/instance_link.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/progress_window.h"
#include "platform/win32/registry.h"
#include "platform/win32/request_library.h"
#include "platform/win32/resources.h"
#include "platform/win32/system_services.h"
#include "shell/update_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace devov::win32;
  Win32DialogHost dialogs;
  Win32MessageBoxes boxes(dialogs);
  Win32Clock clock;
  Win32SystemInfo system;
  Win32ProcessControl process;
  Win32Resources resources;
  Win32InstanceLink link;
  Win32DriveC drive_c;
  Win32RequestLibrary library;
  Win32Registry registry;
  Win32Events events;
  Win32ProgressWindow progress;
  devov::platform::Services services{boxes,   clock,   system,   process, resources, link,
                                     drive_c, library, dialogs, registry, events,    progress};
  devov::platform::install(services);

  // The C runtime has already split the command line by the system's usual
  // quoting rules.
  std::vector<std::string> arguments(__argv, __argv + __argc);
  const int status = devov::run_program(arguments);
  process.flush_all();
  return status;
}
