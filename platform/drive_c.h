// Where "c:\" is: the root of drive C on Windows, the virtual host's drive_c
// folder on POSIX.
#pragma once

#include <string>

namespace devov::platform {

class DriveC {
 public:
  virtual ~DriveC() = default;
  // The native path of a file in the root of drive C ("flash.log").
  virtual std::string path_of(const std::string& file_name) = 0;
};

}  // namespace devov::platform
