// The closed NDIS request library ISW32N50: the eight calls the program makes
// to it. The Windows program loads the DLL at run time; the POSIX program
// links the emulator in its place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace devov::platform {

using AdapterHandle = std::intptr_t;
inline constexpr AdapterHandle kInvalidAdapter = -1;

// The adapter record that W32N_GetAdapterRegistryInfo fills.
inline constexpr std::size_t kAdapterRecordSize = 780;
inline constexpr std::size_t kAdapterRecordInstanceOffset = 520;

class RequestLibrary {
 public:
  virtual ~RequestLibrary() = default;
  virtual bool is_windows_nt() = 0;
  virtual bool is_windows_95() = 0;
  virtual std::uint32_t os_get_platform_version(std::uint32_t selector) = 0;
  // 0 when the network-class subkey is an adapter; `record` has
  // kAdapterRecordSize bytes.
  virtual std::uint32_t get_adapter_registry_info(void* record,
                                                  const char* subkey) = 0;
  virtual AdapterHandle open_adapter(const char* open_name) = 0;
  virtual std::uint32_t get_last_error() = 0;
  virtual void close_adapter(AdapterHandle handle) = 0;
  // 0 on success, else an NDIS status. On return the request has completed.
  virtual std::uint32_t make_ndis_request(AdapterHandle handle,
                                          void* request_block,
                                          void* overlapped,
                                          std::uint32_t wait) = 0;
};

}  // namespace devov::platform
