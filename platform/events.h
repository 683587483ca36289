// The unnamed auto-reset event that the adapter session puts into the
// overlapped block of its requests.
#pragma once

namespace devov::platform {

using EventHandle = void*;

class Events {
 public:
  virtual ~Events() = default;
  // A new unnamed auto-reset event, initially clear; nullptr on failure.
  virtual EventHandle create_event() = 0;
  virtual void reset_event(EventHandle event) = 0;
  virtual void close_event(EventHandle event) = 0;
};

}  // namespace devov::platform
