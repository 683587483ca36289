// The emulated request library: the eight calls of ISW32N50 answered from the
// virtual host. The POSIX program links it in; the stand-in ISW32N50.dll
// exports it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "emulator/host_config.h"
#include "platform/registry.h"
#include "platform/request_library.h"

namespace devov::emulator {

// Windows error codes the library reports through its last error.
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

class VirtualAdapter;

class EmulatedLibrary : public platform::RequestLibrary {
 public:
  // A library without a host: it knows no adapter.
  explicit EmulatedLibrary(HostConfig host);
  // The library of the host in `folder`: it reads network-class subkeys
  // through `registry` and opens the adapters under folder/adapters.
  EmulatedLibrary(HostConfig host, std::string folder, platform::Registry& registry);
  ~EmulatedLibrary() override;
  EmulatedLibrary(const EmulatedLibrary&) = delete;
  EmulatedLibrary& operator=(const EmulatedLibrary&) = delete;

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
  VirtualAdapter* adapter_of(platform::AdapterHandle handle);

  HostConfig host_;
  std::string folder_;
  platform::Registry* registry_ = nullptr;
  std::uint32_t last_error_ = 0;
  // Adapters by folder name, made on first open and kept while the library
  // lives, as a driver keeps its state across handles.
  std::map<std::string, std::unique_ptr<VirtualAdapter>> adapters_;
  std::map<platform::AdapterHandle, VirtualAdapter*> handles_;
  platform::AdapterHandle next_handle_ = 1;
};

}  // namespace devov::emulator
