// The single-instance link over a local socket in the virtual host folder,
// named after the window caption, so instances of separate hosts never meet.
// Each hand-over is one connection carrying one message, answered with one
// acknowledgement byte once the running instance has handled it.
//
// Message: u32 sender (0), u32 the sender's argument count, u32 byte count,
// then that many bytes of text (the terminating zero included by senders).
#pragma once

#include <functional>
#include <string>

#include "platform/instance_link.h"

namespace devov::posix {

// Texts longer than this are not accepted by the receiving instance.
inline constexpr std::uint32_t kMaxHandOverBytes = 64 * 1024;

std::string socket_name(const std::string& caption);

class SocketLink : public platform::InstanceLink {
 public:
  explicit SocketLink(std::string host_folder) : folder_(std::move(host_folder)) {}
  bool find_running(const std::string& caption) override;
  void bring_to_front() override {}
  bool hand_over(int argument_count, const std::string& argument) override;

 private:
  std::string folder_;
  std::string caption_;
};

// The receiving side, owned by the running dialog.
class SocketListener {
 public:
  explicit SocketListener(std::string host_folder) : folder_(std::move(host_folder)) {}
  ~SocketListener();
  SocketListener(const SocketListener&) = delete;
  SocketListener& operator=(const SocketListener&) = delete;

  // Starts listening under the caption's name; false when that fails.
  bool listen(const std::string& caption);
  int fd() const { return fd_; }
  // Accepts one connection and reads its message; the text is handed to
  // `handle` and acknowledged afterwards. A connection without a whole
  // message is dropped.
  void serve_one(const std::function<void(const std::string&)>& handle);

 private:
  std::string folder_;
  std::string name_;
  int fd_ = -1;
};

}  // namespace devov::posix
