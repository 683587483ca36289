// The Windows registry, read for adapter discovery. The Windows program reads
// the real registry; the POSIX program reads the virtual host's registry
// file, written in the REGEDIT4 text format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace devov::platform {

enum class RegistryRoot { LocalMachine, CurrentConfig, ClassesRoot };

// An open key; 0 is no key.
using RegistryKey = std::intptr_t;

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key for reading; key names compare without regard to case.
  virtual bool open_key(RegistryRoot root, const std::string& path, RegistryKey& key) = 0;
  virtual bool open_subkey(RegistryKey parent, const std::string& path, RegistryKey& key) = 0;
  // The name of the subkey at `index`, read into a buffer of `buffer_size`
  // characters: false when there is none or the name and its terminating
  // zero do not fit.
  virtual bool enum_subkey(RegistryKey key, std::uint32_t index, std::size_t buffer_size,
                           std::string& name) = 0;
  // The data of a value (the unnamed value for an empty name), read into a
  // buffer of `buffer_size` bytes: false when the value is missing or does
  // not fit. Text values come with their terminating zero.
  virtual bool query_value(RegistryKey key, const std::string& name, std::size_t buffer_size,
                           std::vector<std::uint8_t>& data) = 0;
  virtual void close_key(RegistryKey key) = 0;
};

}  // namespace devov::platform
