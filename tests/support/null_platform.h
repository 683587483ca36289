// A platform that answers every service quietly, for code that runs the
// program's readers outside the program: the fuzz targets and small test
// programs. The log is captured into `log`; a fatal exit unwinds with
// NullPlatform::Exit; firmware texts come from `firmware`.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"

namespace devov::test {

class NullPlatform {
 public:
  struct Exit {
    int status;
  };

  NullPlatform();
  ~NullPlatform();
  NullPlatform(const NullPlatform&) = delete;
  NullPlatform& operator=(const NullPlatform&) = delete;

  std::string log;
  std::map<int, std::string> firmware;
  int boxes_shown = 0;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace devov::test
