// The single-instance link over a local socket.
#include "platform/posix/socket_link.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace devov::posix {
namespace {

constexpr int kReceiveTimeoutSeconds = 5;

// Runs `action` with the host folder as the working directory, so that socket
// names stay short whatever the folder's path.
template <typename Action>
int in_folder(const std::string& folder, Action action) {
  int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (here < 0) return -1;
  int result = -1;
  if (chdir(folder.c_str()) == 0) {
    result = action();
    if (fchdir(here) != 0) result = -1;
  }
  close(here);
  return result;
}

bool fill_address(const std::string& name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (name.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
  return true;
}

int connect_to(const std::string& folder, const std::string& name) {
  sockaddr_un address;
  if (!fill_address(name, address)) return -1;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int rc = in_folder(folder, [&] {
    return connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  });
  if (rc != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool write_all(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool read_all(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void put_u32(std::vector<char>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t get_u32(const unsigned char* in) {
  return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
         static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

}  // namespace

std::string socket_name(const std::string& caption) { return caption + ".sock"; }

bool SocketLink::find_running(const std::string& caption) {
  int fd = connect_to(folder_, socket_name(caption));
  if (fd < 0) return false;
  close(fd);
  caption_ = caption;
  return true;
}

bool SocketLink::hand_over(int argument_count, const std::string& argument) {
  int fd = connect_to(folder_, socket_name(caption_));
  if (fd < 0) return false;
  std::vector<char> message;
  put_u32(message, 0);
  put_u32(message, static_cast<std::uint32_t>(argument_count));
  put_u32(message, static_cast<std::uint32_t>(argument.size() + 1));
  message.insert(message.end(), argument.begin(), argument.end());
  message.push_back('\0');
  char ack = 0;
  bool ok = write_all(fd, message.data(), message.size()) && read_all(fd, &ack, 1);
  close(fd);
  return ok;
}

SocketListener::~SocketListener() {
  if (fd_ < 0) return;
  close(fd_);
  in_folder(folder_, [&] { return unlink(name_.c_str()); });
}

bool SocketListener::listen(const std::string& caption) {
  if (fd_ >= 0) return true;
  sockaddr_un address;
  name_ = socket_name(caption);
  if (!fill_address(name_, address)) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  auto bind_it = [&] {
    return bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  };
  int rc = in_folder(folder_, bind_it);
  if (rc != 0 && errno == EADDRINUSE) {
    // A socket left by an instance that ended without cleaning up: nobody
    // answers on it, so it may be replaced.
    int other = connect_to(folder_, name_);
    if (other >= 0) {
      close(other);
      close(fd);
      return false;
    }
    in_folder(folder_, [&] { return unlink(name_.c_str()); });
    rc = in_folder(folder_, bind_it);
  }
  if (rc != 0 || ::listen(fd, 8) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SocketListener::serve_one(const std::function<void(const std::string&)>& handle) {
  int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  timeval timeout{kReceiveTimeoutSeconds, 0};
  setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  unsigned char header[12];
  if (read_all(client, header, sizeof header)) {
    std::uint32_t count = get_u32(header + 8);
    if (count <= kMaxHandOverBytes) {
      std::vector<char> data(count);
      if (read_all(client, data.data(), data.size())) {
        // The text ends at its zero byte or at the byte count, whichever
        // comes first.
        std::size_t length = 0;
        while (length < data.size() && data[length] != '\0') ++length;
        handle(std::string(data.data(), length));
        char ack = 1;
        write_all(client, &ack, 1);
      }
    }
  }
  close(client);
}

}  // namespace devov::posix
