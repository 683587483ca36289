// The small platform services of the POSIX program.
#include "platform/posix/host_services.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/posix/embedded_firmware.h"
#include "resources/main_dialog_template.h"

namespace devov::posix {

platform::LocalTime PosixClock::now() {
  time_t seconds = time(nullptr);
  struct tm parts {};
  localtime_r(&seconds, &parts);
  platform::LocalTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.weekday = parts.tm_wday;
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec;
  return t;
}

void PosixClock::sleep_ms(std::uint32_t milliseconds) {
  struct timespec wait {
    static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L
  };
  while (nanosleep(&wait, &wait) != 0) {
  }
}

platform::OsVersion HostSystemInfo::os_version() {
  platform::OsVersion v;
  v.family = config_.os_family == "9x" ? platform::OsFamily::Windows9x
                                       : platform::OsFamily::WindowsNt;
  v.major = config_.os_major;
  v.minor = config_.os_minor;
  return v;
}

platform::PowerStatus HostSystemInfo::power_status() {
  platform::PowerStatus status;
  status.available = true;
  if (config_.ac_line == "online") status.ac_line_status = 1;
  else if (config_.ac_line == "offline") status.ac_line_status = 0;
  else if (config_.ac_line == "unknown") status.ac_line_status = 255;
  else status.ac_line_status = machine_ac_line_status("/sys/class/power_supply");
  return status;
}

std::uint8_t machine_ac_line_status(const std::string& power_supply_folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  bool any_mains = false;
  for (const auto& entry : fs::directory_iterator(power_supply_folder, error)) {
    std::ifstream type_file(entry.path() / "type");
    std::string type;
    if (!(type_file >> type) || type != "Mains") continue;
    any_mains = true;
    std::ifstream online_file(entry.path() / "online");
    int online = 0;
    if (online_file >> online && online == 1) return 1;
  }
  return any_mains ? 0 : 1;
}

void PosixProcessControl::exit_process(int status) {
  flush_all();
  std::exit(status);
}

void PosixProcessControl::flush_all() { std::fflush(nullptr); }

std::optional<std::string> CompiledResources::string(int id) {
  for (const auto& entry : resources::string_table())
    if (entry.id == id) return std::string(entry.text);
  return std::nullopt;
}

std::optional<std::string_view> CompiledResources::firmware_text(int id) {
  for (const auto& text : embedded_firmware())
    if (text.id == id) return text.text;
  return std::nullopt;
}

std::string HostDriveC::path_of(const std::string& file_name) {
  return folder_ + "/" + emulator::kDriveCFolder + "/" + file_name;
}

}  // namespace devov::posix
