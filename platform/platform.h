// The platform services, handed by the front end to the program at start-up
// and reachable from every subsystem.
#pragma once

#include "platform/clock.h"
#include "platform/dialog.h"
#include "platform/drive_c.h"
#include "platform/events.h"
#include "platform/instance_link.h"
#include "platform/message_boxes.h"
#include "platform/process_control.h"
#include "platform/progress_window.h"
#include "platform/registry.h"
#include "platform/request_library.h"
#include "platform/resources.h"
#include "platform/system_info.h"

namespace devov::platform {

struct Services {
  MessageBoxes& boxes;
  Clock& clock;
  SystemInfo& system;
  ProcessControl& process;
  Resources& resources;
  InstanceLink& link;
  DriveC& drive_c;
  RequestLibrary& library;
  DialogHost& dialogs;
  Registry& registry;
  Events& events;
  ProgressWindow& progress;
};

// The services in force. The front end installs them before anything else
// runs; tests install fakes.
Services& services();
void install(Services& services);

}  // namespace devov::platform
