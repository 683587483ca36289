// The small operating-system services of the Windows program: local time and
// sleeping, OS version and power status, ending the process, drive C.
#pragma once

#include "platform/clock.h"
#include "platform/drive_c.h"
#include "platform/process_control.h"
#include "platform/system_info.h"

namespace devov::win32 {

class Win32Clock : public platform::Clock {
 public:
  platform::LocalTime now() override;
  void sleep_ms(std::uint32_t milliseconds) override;
};

class Win32SystemInfo : public platform::SystemInfo {
 public:
  platform::OsVersion os_version() override;
  platform::PowerStatus power_status() override;
};

class Win32ProcessControl : public platform::ProcessControl {
 public:
  [[noreturn]] void exit_process(int status) override;
  void flush_all() override;
};

class Win32DriveC : public platform::DriveC {
 public:
  std::string path_of(const std::string& file_name) override;
};

}  // namespace devov::win32
