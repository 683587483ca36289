// The emulated request library: the eight calls of ISW32N50 answered from the
// virtual host. The POSIX program links it in; the stand-in ISW32N50.dll
// exports it.
#pragma once

#include <cstdint>

#include "emulator/host_config.h"
#include "platform/request_library.h"

namespace devov::emulator {

// Windows error codes the library reports through its last error.
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kNdisStatusFailure = 0xC0000001;

class EmulatedLibrary : public platform::RequestLibrary {
 public:
  explicit EmulatedLibrary(HostConfig host);

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
  HostConfig host_;
  std::uint32_t last_error_ = 0;
};

}  // namespace devov::emulator
