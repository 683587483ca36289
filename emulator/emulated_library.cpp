// The emulated request library.
#include "emulator/emulated_library.h"

#include <cstring>

namespace devov::emulator {
namespace {

// The name the program opens to find out whether the library can reach its
// driver part; a present library answers "invalid handle" for it.
constexpr const char* kCheckName = "Check for VXD...";
constexpr std::uint32_t kSelectorMajorVersion = 2;

}  // namespace

EmulatedLibrary::EmulatedLibrary(HostConfig host) : host_(std::move(host)) {}

bool EmulatedLibrary::is_windows_nt() { return host_.os_family != "9x"; }

bool EmulatedLibrary::is_windows_95() { return host_.os_family == "9x"; }

std::uint32_t EmulatedLibrary::os_get_platform_version(std::uint32_t selector) {
  return selector == kSelectorMajorVersion ? host_.os_major : host_.os_minor;
}

std::uint32_t EmulatedLibrary::get_adapter_registry_info(void* record, const char*) {
  if (record) std::memset(record, 0, platform::kAdapterRecordSize);
  return 1;
}

platform::AdapterHandle EmulatedLibrary::open_adapter(const char* open_name) {
  if (open_name && std::strcmp(open_name, kCheckName) == 0) {
    last_error_ = host_.library_check;
    return platform::kInvalidAdapter;
  }
  last_error_ = kErrorFileNotFound;
  return platform::kInvalidAdapter;
}

std::uint32_t EmulatedLibrary::get_last_error() { return last_error_; }

void EmulatedLibrary::close_adapter(platform::AdapterHandle) {}

std::uint32_t EmulatedLibrary::make_ndis_request(platform::AdapterHandle, void*, void*,
                                                 std::uint32_t) {
  last_error_ = kErrorInvalidHandle;
  return kNdisStatusFailure;
}

}  // namespace devov::emulator
