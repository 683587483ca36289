// The Windows registry through RegOpenKeyEx and friends; every key for
// reading only.
#include "platform/win32/registry.h"

#include <windows.h>

namespace devov::win32 {
namespace {

HKEY root_key(platform::RegistryRoot root) {
  switch (root) {
    case platform::RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case platform::RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case platform::RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
  }
  return HKEY_LOCAL_MACHINE;
}

bool open(HKEY parent, const std::string& path, platform::RegistryKey& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  key = reinterpret_cast<platform::RegistryKey>(opened);
  return true;
}

HKEY as_hkey(platform::RegistryKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

bool Win32Registry::open_key(platform::RegistryRoot root, const std::string& path,
                             platform::RegistryKey& key) {
  return open(root_key(root), path, key);
}

bool Win32Registry::open_subkey(platform::RegistryKey parent, const std::string& path,
                                platform::RegistryKey& key) {
  return open(as_hkey(parent), path, key);
}

bool Win32Registry::enum_subkey(platform::RegistryKey key, std::uint32_t index,
                                std::size_t buffer_size, std::string& name) {
  std::string buffer(buffer_size, '\0');
  DWORD size = static_cast<DWORD>(buffer_size);
  if (RegEnumKeyExA(as_hkey(key), index, buffer.data(), &size, nullptr, nullptr, nullptr,
                    nullptr) != ERROR_SUCCESS)
    return false;
  name.assign(buffer.data(), size);
  return true;
}

bool Win32Registry::query_value(platform::RegistryKey key, const std::string& name,
                                std::size_t buffer_size, std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> buffer(buffer_size);
  DWORD size = static_cast<DWORD>(buffer_size);
  if (RegQueryValueExA(as_hkey(key), name.empty() ? nullptr : name.c_str(), nullptr, nullptr,
                       buffer.data(), &size) != ERROR_SUCCESS)
    return false;
  buffer.resize(size);
  data = std::move(buffer);
  return true;
}

void Win32Registry::close_key(platform::RegistryKey key) { RegCloseKey(as_hkey(key)); }

}  // namespace devov::win32
