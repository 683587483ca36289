// Unnamed auto-reset events.
#pragma once

#include "platform/events.h"

namespace devov::win32 {

class Win32Events : public platform::Events {
 public:
  platform::EventHandle create_event() override;
  void reset_event(platform::EventHandle event) override;
  void close_event(platform::EventHandle event) override;
};

}  // namespace devov::win32
