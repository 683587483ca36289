// The single-instance link of the Windows program: the running instance is
// the top-level window with the program's caption; arguments go to it as
// WM_COPYDATA messages.
#pragma once

#include <windows.h>

#include "platform/instance_link.h"

namespace devov::win32 {

class Win32InstanceLink : public platform::InstanceLink {
 public:
  bool find_running(const std::string& caption) override;
  void bring_to_front() override;
  bool hand_over(int argument_count, const std::string& argument) override;

 private:
  HWND running_ = nullptr;
};

}  // namespace devov::win32
