// Ending the process from inside a running operation.
#pragma once

namespace devov::platform {

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  // Flushes open files and ends the process with the status. Does not return
  // in the programs; a test's implementation may unwind instead.
  [[noreturn]] virtual void exit_process(int status) = 0;
  // Flushes every open file (the log among them).
  virtual void flush_all() = 0;
};

}  // namespace devov::platform
