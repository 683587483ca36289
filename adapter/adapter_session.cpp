// AdapterSession: the start-up check of the request library.
#include "adapter/adapter_session.h"

#include <string>

#include "platform/platform.h"
#include "shell/flash_log.h"

namespace devov {
namespace {

// The open name the check uses; no adapter carries it, so the library's last
// error tells whether the library and its driver part could be loaded.
constexpr const char* kCheckName = "Check for VXD...";
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;

std::string upper_hex(std::uint32_t value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

}  // namespace

bool AdapterSession::check_library() {
  auto& library = platform::services().library;
  library.open_adapter(kCheckName);
  std::uint32_t error = library.get_last_error();
  const unsigned style = platform::kBoxIconError;
  if (error == kErrorAccessDenied) {
    show_message(platform::BoxOwner::MainWindow,
                 "The system reports that you have insufficient privileges to load the "
                 "required driver. \r\n\r\n 1. You may need to log on as an "
                 "administrator.\r\n\r\n 2. Ensure the system files are not being accessed "
                 "from a network drive. (search for \"ISW32N50\" in the registry)",
                 "Startup Error", style);
    return false;
  }
  if (error == kErrorFileNotFound) {
    show_message(platform::BoxOwner::MainWindow,
                 "Error loading system files: File Not Found.", "Startup Error", style);
    return false;
  }
  if ((error & 0xFF) == kErrorInvalidHandle) return true;
  show_message(platform::BoxOwner::MainWindow, "W32N error code: " + upper_hex(error),
               "Unable to load necessary system files.", style);
  return false;
}

}  // namespace devov
