// The emulated request library.
#include "emulator/emulated_library.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "adapter/request_block.h"
#include "emulator/adapter_description.h"
#include "emulator/driver_requests.h"
#include "emulator/virtual_adapter.h"
#include "emulator/virtual_host.h"

namespace devov::emulator {
namespace {

// The name the program opens to find out whether the library can reach its
// driver part; a present library answers "invalid handle" for it.
constexpr const char* kCheckName = "Check for VXD...";
constexpr std::uint32_t kSelectorMajorVersion = 2;
// The low byte of the check's last error when the library is present.
constexpr std::uint32_t kLibraryPresent = 6;
// On the NT family an adapter opens as this prefix and its instance name.
constexpr const char* kDevicePrefix = "\\Device\\";
// The parts of the adapter record, and how much of each a text may fill.
constexpr std::size_t kDisplayNameBytes = platform::kAdapterRecordInstanceOffset;
constexpr std::size_t kInstanceNameBytes =
    platform::kAdapterRecordSize - platform::kAdapterRecordInstanceOffset;

bool same_text(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A registry text value up to its terminating zero.
std::string as_text(const std::vector<std::uint8_t>& data) {
  std::string text(data.begin(), data.end());
  if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

void put_text(std::uint8_t* at, std::size_t room, const std::string& text) {
  const std::size_t n = std::min(text.size(), room - 1);
  std::memcpy(at, text.data(), n);
  at[n] = 0;
}

}  // namespace

EmulatedLibrary::EmulatedLibrary(HostConfig host) : host_(std::move(host)) {}

EmulatedLibrary::EmulatedLibrary(HostConfig host, std::string folder,
                                 platform::Registry& registry)
    : host_(std::move(host)), folder_(std::move(folder)), registry_(&registry) {}

EmulatedLibrary::~EmulatedLibrary() = default;

bool EmulatedLibrary::is_windows_nt() { return host_.os_family != "9x"; }

bool EmulatedLibrary::is_windows_95() { return host_.os_family == "9x"; }

std::uint32_t EmulatedLibrary::os_get_platform_version(std::uint32_t selector) {
  return selector == kSelectorMajorVersion ? host_.os_major : host_.os_minor;
}

std::uint32_t EmulatedLibrary::get_adapter_registry_info(void* record, const char* subkey) {
  if (!record) return last_error_ = kErrorInvalidData;
  auto* bytes = static_cast<std::uint8_t*>(record);
  std::memset(bytes, 0, platform::kAdapterRecordSize);
  if (!registry_ || !subkey || !*subkey) return last_error_ = kErrorFileNotFound;
  const RegistryLayout layout = registry_layout(host_);
  platform::RegistryKey key = 0;
  if (!registry_->open_key(platform::RegistryRoot::LocalMachine,
                           std::string(network_class_key(layout)) + "\\" + subkey, key))
    return last_error_ = kErrorFileNotFound;
  std::vector<std::uint8_t> display, instance;
  const bool found =
      registry_->query_value(key, display_name_value(layout), kDisplayNameBytes, display) &&
      registry_->query_value(key, instance_name_value(layout), kInstanceNameBytes, instance);
  registry_->close_key(key);
  // Only a subkey that names both is an adapter.
  if (!found || as_text(display).empty() || as_text(instance).empty())
    return last_error_ = kErrorInvalidData;
  put_text(bytes, kDisplayNameBytes, as_text(display));
  put_text(bytes + platform::kAdapterRecordInstanceOffset, kInstanceNameBytes, as_text(instance));
  return 0;
}

platform::AdapterHandle EmulatedLibrary::open_adapter(const char* open_name) {
  const std::string name = open_name ? open_name : "";
  if (name == kCheckName) {
    last_error_ = host_.library_check;
    return platform::kInvalidAdapter;
  }
  // A library that cannot reach its driver part opens nothing.
  if ((host_.library_check & 0xFF) != kLibraryPresent) {
    last_error_ = host_.library_check;
    return platform::kInvalidAdapter;
  }
  last_error_ = kErrorFileNotFound;
  if (folder_.empty()) return platform::kInvalidAdapter;

  // NT: "\Device\" and the instance name; 9x: the network-class subkey.
  const bool nt = is_windows_nt();
  const std::string prefix = kDevicePrefix;
  if (nt && !same_text(name.substr(0, prefix.size()), prefix)) return platform::kInvalidAdapter;
  const std::string wanted = nt ? name.substr(prefix.size()) : name;
  if (wanted.empty()) return platform::kInvalidAdapter;

  for (const auto& adapter_name : adapter_names(folder_)) {
    const std::string dir = adapter_folder(folder_, adapter_name);
    auto it = adapters_.find(adapter_name);
    if (it == adapters_.end()) {
      // Only the key that names the adapter is needed to match it; a
      // description that does not parse fails when its adapter is opened.
      AdapterDescription d;
      std::string error;
      if (!read_adapter_description(dir + "/" + kDescriptionFileName, d, error)) {
        auto keys = read_key_value_file(dir + "/" + kDescriptionFileName);
        if (!same_text(keys[nt ? "instance_name" : "class_subkey"], wanted)) continue;
        last_error_ = kErrorInvalidData;
        return platform::kInvalidAdapter;
      }
      if (!same_text(nt ? d.instance_name : d.class_subkey, wanted)) continue;
      auto loaded = VirtualAdapter::load(dir, error);
      if (!loaded) {
        last_error_ = kErrorInvalidData;
        return platform::kInvalidAdapter;
      }
      it = adapters_.emplace(adapter_name, std::move(loaded)).first;
    } else {
      const auto& d = it->second->description();
      if (!same_text(nt ? d.instance_name : d.class_subkey, wanted)) continue;
    }
    VirtualAdapter& adapter = *it->second;
    if (adapter.removed()) {
      adapter.trace_open_refused(name, "adapter removed");
      last_error_ = kErrorDeviceNotConnected;
      return platform::kInvalidAdapter;
    }
    const platform::AdapterHandle handle = next_handle_++;
    handles_[handle] = &adapter;
    adapter.trace_open(name, handle);
    last_error_ = 0;
    return handle;
  }
  return platform::kInvalidAdapter;
}

std::uint32_t EmulatedLibrary::get_last_error() { return last_error_; }

VirtualAdapter* EmulatedLibrary::adapter_of(platform::AdapterHandle handle) {
  auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : it->second;
}

void EmulatedLibrary::close_adapter(platform::AdapterHandle handle) {
  VirtualAdapter* adapter = adapter_of(handle);
  if (!adapter) {
    last_error_ = kErrorInvalidHandle;
    return;
  }
  adapter->trace_close(handle);
  handles_.erase(handle);
}

std::uint32_t EmulatedLibrary::make_ndis_request(platform::AdapterHandle handle,
                                                 void* request_block, void*, std::uint32_t) {
  VirtualAdapter* adapter = adapter_of(handle);
  if (!adapter || !request_block) {
    last_error_ = kErrorInvalidHandle;
    return NDIS_STATUS_FAILURE;
  }
  auto* block = static_cast<NdisRequestBlock*>(request_block);
  return adapter->request(block->request_type, block->oid, block->buffer, block->buffer_length);
}

}  // namespace devov::emulator
