// What the operating system says about itself and its power supply.
#pragma once

#include <cstdint>

namespace devov::platform {

enum class OsFamily { Windows9x, WindowsNt };

struct OsVersion {
  OsFamily family = OsFamily::WindowsNt;
  std::uint32_t major = 5;
  std::uint32_t minor = 1;
};

// The system power status as Windows reports it: AC line status 0 off line,
// 1 on line, 255 unknown.
struct PowerStatus {
  bool available = false;  // false when the status could not be read
  std::uint8_t ac_line_status = 255;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual OsVersion os_version() = 0;
  virtual PowerStatus power_status() = 0;
};

}  // namespace devov::platform
