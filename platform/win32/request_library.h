// The request library ISW32N50.dll, loaded when the program first calls it.
#pragma once

#include <windows.h>

#include "platform/request_library.h"
#include "platform/win32/w32n_abi.h"

namespace devov::win32 {

// Without the DLL, or with any of its eight functions missing, the library
// counts as not found: opening answers an invalid handle, the last error is 2
// (file not found) and every other call answers 0 or false.
class Win32RequestLibrary : public platform::RequestLibrary {
 public:
  Win32RequestLibrary() = default;
  Win32RequestLibrary(const Win32RequestLibrary&) = delete;
  Win32RequestLibrary& operator=(const Win32RequestLibrary&) = delete;
  ~Win32RequestLibrary() override;

  bool is_windows_nt() override;
  bool is_windows_95() override;
  std::uint32_t os_get_platform_version(std::uint32_t selector) override;
  std::uint32_t get_adapter_registry_info(void* record, const char* subkey) override;
  platform::AdapterHandle open_adapter(const char* open_name) override;
  std::uint32_t get_last_error() override;
  void close_adapter(platform::AdapterHandle handle) override;
  std::uint32_t make_ndis_request(platform::AdapterHandle handle, void* request_block,
                                  void* overlapped, std::uint32_t wait) override;

 private:
  // Loads the DLL once; true when all eight functions are there.
  bool loaded();

  bool tried_ = false;
  HMODULE module_ = nullptr;
  w32n::IsWindowsNtFn is_windows_nt_ = nullptr;
  w32n::IsWindows95Fn is_windows_95_ = nullptr;
  w32n::OsGetPlatformVersionFn os_get_platform_version_ = nullptr;
  w32n::GetAdapterRegistryInfoFn get_adapter_registry_info_ = nullptr;
  w32n::OpenAdapterAFn open_adapter_ = nullptr;
  w32n::GetLastErrorFn get_last_error_ = nullptr;
  w32n::CloseAdapterFn close_adapter_ = nullptr;
  w32n::MakeNdisRequestFn make_ndis_request_ = nullptr;
};

}  // namespace devov::win32
