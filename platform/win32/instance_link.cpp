// Finding the running instance by caption and handing arguments over.
#include "platform/win32/instance_link.h"

#include <vector>

namespace devov::win32 {
namespace {

bool has_caption(HWND window, const std::string& caption) {
  std::vector<char> buffer(caption.size() + 2);
  const int length =
      GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return length >= 0 && caption.compare(0, std::string::npos, buffer.data(),
                                        static_cast<std::size_t>(length)) == 0;
}

}  // namespace

// The system compares window captions without regard to case; the program
// wants exactly its own, so each candidate is checked again.
bool Win32InstanceLink::find_running(const std::string& caption) {
  running_ = nullptr;
  for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, caption.c_str()); window;
       window = FindWindowExA(nullptr, window, nullptr, caption.c_str())) {
    if (has_caption(window, caption)) {
      running_ = window;
      return true;
    }
  }
  return false;
}

void Win32InstanceLink::bring_to_front() {
  if (running_) SetForegroundWindow(running_);
}

// One message per argument: the data value is the sender's argument count,
// the bytes are the text with its terminating zero. SendMessage returns once
// the running instance has handled it.
bool Win32InstanceLink::hand_over(int argument_count, const std::string& argument) {
  if (!running_) return false;
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(argument_count);
  data.cbData = static_cast<DWORD>(argument.size() + 1);
  data.lpData = const_cast<char*>(argument.c_str());
  return SendMessageA(running_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) != 0;
}

}  // namespace devov::win32
