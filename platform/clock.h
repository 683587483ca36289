// Local time and sleeping.
#pragma once

#include <cstdint>

namespace devov::platform {

struct LocalTime {
  int year = 0;     // four digits
  int month = 1;    // 1 to 12
  int day = 1;      // 1 to 31
  int weekday = 0;  // 0 Sunday to 6 Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
  virtual void sleep_ms(std::uint32_t milliseconds) = 0;
};

}  // namespace devov::platform
