// The single-instance link: a second instance finds the first by its window
// caption and hands its arguments over, one message per argument.
#pragma once

#include <string>

namespace devov::platform {

class InstanceLink {
 public:
  virtual ~InstanceLink() = default;
  // True when a running instance carries exactly this caption.
  virtual bool find_running(const std::string& caption) = 0;
  // Brings the instance found by find_running to the foreground.
  virtual void bring_to_front() = 0;
  // Sends one argument and waits until the running instance has handled it.
  // `argument_count` is the sender's argument count, program name included.
  virtual bool hand_over(int argument_count, const std::string& argument) = 0;
};

}  // namespace devov::platform
