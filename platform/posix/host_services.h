// The small platform services of the POSIX program, answered from the
// virtual host folder and the machine.
#pragma once

#include <string>

#include "emulator/host_config.h"
#include "platform/clock.h"
#include "platform/drive_c.h"
#include "platform/events.h"
#include "platform/process_control.h"
#include "platform/resources.h"
#include "platform/system_info.h"

namespace devov::posix {

class PosixClock : public platform::Clock {
 public:
  platform::LocalTime now() override;
  void sleep_ms(std::uint32_t milliseconds) override;
};

// OS family and version from host.conf; the power status from host.conf, or
// from this machine where it says "auto".
class HostSystemInfo : public platform::SystemInfo {
 public:
  explicit HostSystemInfo(emulator::HostConfig config) : config_(std::move(config)) {}
  platform::OsVersion os_version() override;
  platform::PowerStatus power_status() override;

 private:
  emulator::HostConfig config_;
};

class PosixProcessControl : public platform::ProcessControl {
 public:
  [[noreturn]] void exit_process(int status) override;
  void flush_all() override;
};

// The string table compiled in; the firmware texts compiled in.
class CompiledResources : public platform::Resources {
 public:
  std::optional<std::string> string(int id) override;
  std::optional<std::string_view> firmware_text(int id) override;
};

class HostDriveC : public platform::DriveC {
 public:
  explicit HostDriveC(std::string host_folder) : folder_(std::move(host_folder)) {}
  std::string path_of(const std::string& file_name) override;

 private:
  std::string folder_;
};

// Events in a single-threaded program over an emulated driver: a request has
// completed when the call returns, so an event only has to exist.
class PosixEvents : public platform::Events {
 public:
  platform::EventHandle create_event() override { return new int(0); }
  void reset_event(platform::EventHandle event) override { *static_cast<int*>(event) = 0; }
  void close_event(platform::EventHandle event) override { delete static_cast<int*>(event); }
};

// This machine's AC status as Linux reports it: 1 on line, 0 off line; on
// line where no mains supply is reported at all.
std::uint8_t machine_ac_line_status(const std::string& power_supply_folder);

}  // namespace devov::posix
