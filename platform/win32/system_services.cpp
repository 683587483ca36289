// The small operating-system services over the Win32 API.
#include "platform/win32/system_services.h"

#include <windows.h>

#include <cstdio>

namespace devov::win32 {

platform::LocalTime Win32Clock::now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  platform::LocalTime local;
  local.year = t.wYear;
  local.month = t.wMonth;
  local.day = t.wDay;
  local.weekday = t.wDayOfWeek;  // 0 is Sunday, as LocalTime counts
  local.hour = t.wHour;
  local.minute = t.wMinute;
  local.second = t.wSecond;
  return local;
}

void Win32Clock::sleep_ms(std::uint32_t milliseconds) { Sleep(milliseconds); }

platform::OsVersion Win32SystemInfo::os_version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  platform::OsVersion version;
  if (!GetVersionExA(&info)) return version;
  version.family = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS
                       ? platform::OsFamily::Windows9x
                       : platform::OsFamily::WindowsNt;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  return version;
}

platform::PowerStatus Win32SystemInfo::power_status() {
  SYSTEM_POWER_STATUS status{};
  platform::PowerStatus power;
  if (!GetSystemPowerStatus(&status)) return power;
  power.available = true;
  power.ac_line_status = status.ACLineStatus;
  return power;
}

void Win32ProcessControl::exit_process(int status) {
  flush_all();
  ExitProcess(static_cast<UINT>(status));
}

void Win32ProcessControl::flush_all() { std::fflush(nullptr); }

std::string Win32DriveC::path_of(const std::string& file_name) {
  return "c:\\" + file_name;
}

}  // namespace devov::win32
