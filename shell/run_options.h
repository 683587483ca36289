// The process-wide settings taken from the command line.
#pragma once

#include <cstdint>

namespace devov {

struct RunOptions {
  bool log_enabled = true;
  bool quiet = false;
  bool force_update = false;
  bool refresh_primary = false;
  bool files_on_command_line = false;
  bool battery_ok = false;
  bool repeat_requested = false;
  std::int32_t repeat_count = 0;
  bool delay_requested = false;
  std::int32_t delay_seconds = 0;
  bool manifest_requested = false;
};

// The one record of the process. Written while the command line is read,
// read everywhere.
RunOptions& run_options();

}  // namespace devov
