// The Windows registry, opened for reading.
#pragma once

#include "platform/registry.h"

namespace devov::win32 {

class Win32Registry : public platform::Registry {
 public:
  bool open_key(platform::RegistryRoot root, const std::string& path,
                platform::RegistryKey& key) override;
  bool open_subkey(platform::RegistryKey parent, const std::string& path,
                   platform::RegistryKey& key) override;
  bool enum_subkey(platform::RegistryKey key, std::uint32_t index, std::size_t buffer_size,
                   std::string& name) override;
  bool query_value(platform::RegistryKey key, const std::string& name,
                   std::size_t buffer_size, std::vector<std::uint8_t>& data) override;
  void close_key(platform::RegistryKey key) override;
};

}  // namespace devov::win32
