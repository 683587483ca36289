// Adapter discovery over the registry: the network-class key of the running
// operating system, the adapters the request library knows there, and the
// hardware-profile flags of their device instances.
#include "adapter/discovery.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "shell/flash_log.h"

namespace devov {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

constexpr const char* kClassKey9x = "System\\CurrentControlSet\\Services\\Class\\Net";
constexpr const char* kClassKeyNt4 =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kClassKeyNt5 =
    "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

constexpr const char* kDeviceRootNt =
    "system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\";
constexpr const char* kPciRootNt =
    "system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\pci";
constexpr const char* kDeviceRoot9x = "Enum\\";
constexpr const char* kPciRoot9x = "Enum\\pci";

constexpr const char* kNtDevicePrefix = "\\Device\\";
// "pci" and the backslash after it.
constexpr std::size_t kPciIdPrefixLength = 4;
// Bit 0 of the first byte of "CSConfigFlags": disabled in this profile.
constexpr std::uint8_t kConfigFlagDisabled = 0x01;

platform::Registry& registry() { return platform::services().registry; }

// A key that is closed when it goes out of scope; 0 is no key.
class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_ != 0) registry().close_key(key_);
  }
  RegistryKey& out() { return key_; }
  RegistryKey get() const { return key_; }

 private:
  RegistryKey key_ = 0;
};

const char* network_class_key() {
  auto& library = platform::services().library;
  if (!library.is_windows_nt()) return kClassKey9x;
  if (library.os_get_platform_version(kMajorVersionSelector) < kWindows2000Major)
    return kClassKeyNt4;
  return kClassKeyNt5;
}

// A zero-terminated text inside a fixed area, never read beyond the area.
std::string text_at(const std::uint8_t* area, std::size_t size) {
  const void* end = std::memchr(area, 0, size);
  const std::size_t length =
      end ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - area) : size;
  return std::string(reinterpret_cast<const char*>(area), length);
}

struct AdapterRecord {
  std::uint8_t bytes[platform::kAdapterRecordSize] = {};

  std::string display_name() const {
    return text_at(bytes, platform::kAdapterRecordInstanceOffset);
  }
  std::string instance_name() const {
    return text_at(bytes + platform::kAdapterRecordInstanceOffset,
                   platform::kAdapterRecordSize - platform::kAdapterRecordInstanceOffset);
  }
};

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool begins_with_ignoring_case(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (lower(text[i]) != lower(prefix[i])) return false;
  return true;
}

// Compares as the C library's case-blind comparison does, letters folded to
// lower case, over at most `limit` characters.
int compare_ignoring_case(const std::string& a, const std::string& b, std::size_t limit) {
  for (std::size_t i = 0; i < limit; ++i) {
    const int x = i < a.size() ? static_cast<unsigned char>(lower(a[i])) : 0;
    const int y = i < b.size() ? static_cast<unsigned char>(lower(b[i])) : 0;
    if (x != y) return x - y;
    if (x == 0) return 0;
  }
  return 0;
}

}  // namespace

bool enumerate_adapters(platform::DialogView& view, int list) {
  const char* path = network_class_key();
  log_message("%s\n", {"Results of search for Net Adapters:"});
  log_message("Registry Path =");
  log_message("%s\n", {path});
  ScopedKey class_key;
  if (registry().open_key(RegistryRoot::LocalMachine, path, class_key.out())) {
    for (std::uint32_t position = 0;; ++position) {
      std::string subkey;
      if (!registry().enum_subkey(class_key.get(), position, kSubkeyNameBuffer, subkey)) break;
      AdapterRecord record;
      const std::uint32_t known =
          platform::services().library.get_adapter_registry_info(record.bytes, subkey.c_str());
      log_message("Adapter Enum=");
      log_message("%s", {subkey});
      if (known != 0) break;
      const std::string name = record.display_name();
      log_message("  Adapter Name= ");
      log_message("%s\n", {name});
      const int entry = view.add_list_string(list, name);
      view.set_list_item_data(list, entry, entry);
    }
  }
  log_message("%s\n", {"End results of search for Net Adapters.\n"});
  return true;
}

bool resolve_adapter(std::int32_t index, std::string& open_name) {
  ScopedKey class_key;
  if (!registry().open_key(RegistryRoot::LocalMachine, network_class_key(), class_key.out()))
    return false;
  std::string subkey;
  if (!registry().enum_subkey(class_key.get(), static_cast<std::uint32_t>(index),
                              kResolveNameBuffer, subkey))
    return false;
  {
    ScopedKey adapter_key;
    if (!registry().open_subkey(class_key.get(), subkey, adapter_key.out())) return false;
    if (!is_adapter_enabled(adapter_key.get())) return false;
  }
  auto& library = platform::services().library;
  AdapterRecord record;
  library.get_adapter_registry_info(record.bytes, subkey.c_str());
  std::printf("Adapter Names : %s\n", record.display_name().c_str());
  if (library.is_windows_nt())
    open_name = (kNtDevicePrefix + record.instance_name()).substr(0, kMaxOpenNameLength);
  else
    open_name = subkey;
  return true;
}

bool is_adapter_enabled(RegistryKey adapter_key) {
  std::vector<std::uint8_t> data;
  if (!registry().query_value(adapter_key, "MatchingDeviceId", kValueBuffer, data)) return true;
  const std::string id = text_at(data.data(), data.size());

  ScopedKey device_key;
  if (begins_with_ignoring_case(id, "pci")) {
    if (!find_pci_device_key(id, device_key.out())) return true;
  } else {
    const bool nt = platform::services().library.is_windows_nt();
    const RegistryRoot root = nt ? RegistryRoot::LocalMachine : RegistryRoot::CurrentConfig;
    const std::string path = std::string(nt ? kDeviceRootNt : kDeviceRoot9x) + id;
    if (!registry().open_key(root, path, device_key.out())) return true;
  }

  bool disabled = false;
  for (std::uint32_t position = 0;; ++position) {
    std::string name;
    if (!registry().enum_subkey(device_key.get(), position, kSubkeyNameBuffer, name)) break;
    ScopedKey instance_key;
    if (!registry().open_subkey(device_key.get(), name, instance_key.out())) break;
    std::vector<std::uint8_t> flags;
    if (!registry().query_value(instance_key.get(), "CSConfigFlags", kValueBuffer, flags)) break;
    // An empty value has no first byte, so no bit set.
    if (!flags.empty() && (flags[0] & kConfigFlagDisabled) != 0) {
      disabled = true;
      log_message("%s\n", {"Disabled adapter detected."});
    }
  }
  return !disabled;
}

bool find_pci_device_key(const std::string& id, RegistryKey& device_key) {
  const bool nt = platform::services().library.is_windows_nt();
  ScopedKey root;
  if (!registry().open_key(nt ? RegistryRoot::LocalMachine : RegistryRoot::CurrentConfig,
                           nt ? kPciRootNt : kPciRoot9x, root.out()))
    return false;
  // An id no longer than "pci\" leaves an empty prefix, which every name has.
  const std::string prefix = id.size() > kPciIdPrefixLength ? id.substr(kPciIdPrefixLength) : "";
  std::string best;
  for (std::uint32_t position = 0;; ++position) {
    std::string name;
    if (!registry().enum_subkey(root.get(), position, kSubkeyNameBuffer, name)) break;
    if (begins_with_ignoring_case(name, prefix) &&
        compare_ignoring_case(best, name, kSubkeyNameBuffer) < 0) {
      best = name;
      log_message("Found PCI Device ");
      log_message("%s\n", {name});
    }
  }
  if (best.empty()) return false;
  return registry().open_subkey(root.get(), best, device_key);
}

}  // namespace devov
