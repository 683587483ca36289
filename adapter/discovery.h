// Adapter discovery: the network adapters the operating system has installed,
// read from the registry, listed in the adapter list, and turned back into
// the name under which the request library opens one. Nothing is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/dialog.h"
#include "platform/registry.h"

namespace devov {

// Subkey names are read into this many bytes while enumerating...
inline constexpr std::size_t kSubkeyNameBuffer = 200;
// ...but into this many when a list index is resolved, so a subkey whose
// name has 16 or more characters cannot be opened.
inline constexpr std::size_t kResolveNameBuffer = 16;
// Bytes read of "MatchingDeviceId" and "CSConfigFlags".
inline constexpr std::size_t kValueBuffer = 200;
// The NT family's open name, "\Device\" and the driver instance, is cut to
// this many characters.
inline constexpr std::size_t kMaxOpenNameLength = 79;
// W32N_OSGetPlatformVersion's selector for the major version, and the first
// major version with the Windows 2000 registry layout.
inline constexpr std::uint32_t kMajorVersionSelector = 2;
inline constexpr std::uint32_t kWindows2000Major = 5;

// Lists every adapter the library knows in `list` of `view`, each entry's
// item datum being its position; stops at the first subkey the library does
// not know. Always succeeds.
bool enumerate_adapters(platform::DialogView& view, int list);

// The open name of the adapter at list position `index`; false when it
// cannot be found or the operating system has disabled it.
bool resolve_adapter(std::int32_t index, std::string& open_name);

// False when a device instance of the adapter whose network-class subkey is
// `adapter_key` is disabled in the current hardware profile.
bool is_adapter_enabled(platform::RegistryKey adapter_key);

// Opens the PCI device key that matches a "pci\..." MatchingDeviceId: of the
// subkeys that begin with the id's part after "pci\", the one that sorts last
// without regard to case.
bool find_pci_device_key(const std::string& id, platform::RegistryKey& device_key);

}  // namespace devov
