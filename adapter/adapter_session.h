// The program's one connection to the adapter's driver, through the request
// library.
#pragma once

#include <cstdint>

#include "platform/request_library.h"

namespace devov {

class AdapterSession {
 public:
  AdapterSession() = default;
  AdapterSession(const AdapterSession&) = delete;
  AdapterSession& operator=(const AdapterSession&) = delete;

  bool is_open() const { return handle != platform::kInvalidAdapter; }

  // Start-up check of the request library: true when it is present. On
  // failure it has shown why.
  bool check_library();

  platform::AdapterHandle handle = platform::kInvalidAdapter;
  std::uint16_t platform_type = 0;
  std::uint32_t pda_address = 0;
};

}  // namespace devov
