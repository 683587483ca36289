// Making and reading virtual hosts: the host folder with its registry file
// and its adapters, each adapter a folder with its description, its flash
// memory, its second PDA copy and its trace.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/adapter_description.h"
#include "emulator/host_config.h"

namespace devov::emulator {

class RegistryFile;

inline constexpr const char* kAdaptersFolder = "adapters";
inline constexpr const char* kDescriptionFileName = "adapter.conf";
inline constexpr const char* kFlashFileName = "flash.bin";
inline constexpr const char* kPdaCopyBFileName = "pda_b.bin";
inline constexpr const char* kTraceFileName = "trace.log";
inline constexpr const char* kDefaultAdapterName = "default";

// The three network-class layouts of the registry.
enum class RegistryLayout { Win9x, Nt4, Nt5 };
RegistryLayout registry_layout(const HostConfig& host);
// The network-class key under HKEY_LOCAL_MACHINE for a layout.
const char* network_class_key(RegistryLayout layout);
// The value names of a network-class subkey that hold the display name and
// the driver instance name.
const char* display_name_value(RegistryLayout layout);
const char* instance_name_value(RegistryLayout layout);

// The unit's own production data, written into a new adapter's PDA copies.
struct ProductionData {
  std::array<std::uint8_t, 6> mac_address{0x00, 0x90, 0x4B, 0x62, 0x71, 0x01};
  std::string serial_number = "VLK627100001";  // 12 characters at most
  std::string part_number = "6271-USB-A2";
  std::uint16_t platform_id = 0xE6B2;
  std::uint8_t regulatory_domain = 0x10;
  bool setpoint_tables = true;  // PDR 0x0900 and 0x0901
};

// The PDA words of that data: the records in ascending code order, then the
// end record with the CRC.
std::vector<std::uint16_t> build_pda_words(const ProductionData& data);

struct HostOptions {
  std::string os_family = "nt";  // "nt" or "9x"
  std::uint32_t os_major = 5;
  std::uint32_t os_minor = 1;
  bool default_adapter = true;  // adds adapters/default
};

// A fresh host in `folder` (which may exist but must not hold a host yet):
// host.conf, drive_c/, system.reg with the network-class key of the host's
// layout, and the default adapter unless asked not to.
bool make_host(const std::string& folder, const HostOptions& options, std::string& error);

// Adds adapters/<name>: its description (an empty class_subkey or
// instance_name is chosen for the host's layout), an erased flash of the
// platform type's size with the PDA as copy A, copy B, an empty trace, and
// its keys appended to system.reg.
bool add_adapter(const std::string& folder, const std::string& name,
                 AdapterDescription description, const ProductionData& data,
                 std::string& error);

// The description of the default adapter for a host; the same as a
// default-constructed one with class_subkey and instance_name chosen.
AdapterDescription default_adapter_description(const HostConfig& host);

// The host's registry: system.reg, then each adapter's `disabled` key put
// into its device instance's CSConfigFlags. False when system.reg cannot
// be read or parsed (the keys read so far are kept).
bool load_host_registry(const std::string& folder, RegistryFile& registry);

// The folders of the host's adapters, by name in ascending order.
std::vector<std::string> adapter_names(const std::string& folder);
std::string adapter_folder(const std::string& folder, const std::string& name);

// Flash size and PDA address of a platform type; a type other than 1 has
// the layout of type 2.
std::uint32_t flash_size(std::uint16_t platform_type);
std::uint32_t pda_address(std::uint16_t platform_type);
std::uint32_t control_write_address(std::uint16_t platform_type);

}  // namespace devov::emulator
