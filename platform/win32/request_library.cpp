// Loading ISW32N50.dll and forwarding the eight calls to it.
#include "platform/win32/request_library.h"

namespace devov::win32 {
namespace {

// What the program is told when the library or one of its functions is
// missing, as the library itself would report a missing file.
constexpr std::uint32_t kErrorFileNotFound = ERROR_FILE_NOT_FOUND;

template <typename Function>
bool find(HMODULE module, const char* name, Function& function) {
  function =
      reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

HANDLE to_handle(platform::AdapterHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

Win32RequestLibrary::~Win32RequestLibrary() {
  if (module_) FreeLibrary(module_);
}

bool Win32RequestLibrary::loaded() {
  if (tried_) return module_ != nullptr;
  tried_ = true;
  HMODULE module = LoadLibraryA(w32n::kLibraryName);
  if (!module) return false;
  const bool complete =
      find(module, w32n::kIsWindowsNt, is_windows_nt_) &&
      find(module, w32n::kIsWindows95, is_windows_95_) &&
      find(module, w32n::kOsGetPlatformVersion, os_get_platform_version_) &&
      find(module, w32n::kGetAdapterRegistryInfo, get_adapter_registry_info_) &&
      find(module, w32n::kOpenAdapterA, open_adapter_) &&
      find(module, w32n::kGetLastError, get_last_error_) &&
      find(module, w32n::kCloseAdapter, close_adapter_) &&
      find(module, w32n::kMakeNdisRequest, make_ndis_request_);
  if (!complete) {
    FreeLibrary(module);
    return false;
  }
  module_ = module;
  return true;
}

bool Win32RequestLibrary::is_windows_nt() { return loaded() && is_windows_nt_(); }

bool Win32RequestLibrary::is_windows_95() { return loaded() && is_windows_95_(); }

std::uint32_t Win32RequestLibrary::os_get_platform_version(std::uint32_t selector) {
  return loaded() ? os_get_platform_version_(selector) : 0;
}

std::uint32_t Win32RequestLibrary::get_adapter_registry_info(void* record,
                                                             const char* subkey) {
  return loaded() ? get_adapter_registry_info_(record, subkey) : 0;
}

platform::AdapterHandle Win32RequestLibrary::open_adapter(const char* open_name) {
  if (!loaded()) return platform::kInvalidAdapter;
  return reinterpret_cast<platform::AdapterHandle>(open_adapter_(open_name));
}

std::uint32_t Win32RequestLibrary::get_last_error() {
  return loaded() ? get_last_error_() : kErrorFileNotFound;
}

void Win32RequestLibrary::close_adapter(platform::AdapterHandle handle) {
  if (loaded()) close_adapter_(to_handle(handle));
}

std::uint32_t Win32RequestLibrary::make_ndis_request(platform::AdapterHandle handle,
                                                     void* request_block,
                                                     void* overlapped,
                                                     std::uint32_t wait) {
  if (!loaded()) return 0;
  return make_ndis_request_(to_handle(handle), request_block,
                            static_cast<OVERLAPPED*>(overlapped), wait);
}

}  // namespace devov::win32
