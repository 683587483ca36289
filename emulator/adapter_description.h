// What a virtual adapter is: the plain-text description (adapter.conf) a
// person reads and edits, with its registry identity, what its firmware and
// driver answer, and the faults to inject.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace devov::emulator {

struct FirmwareVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t variant = 0;
  bool operator==(const FirmwareVersion&) const = default;
};

// major.minor.variant in decimal.
std::string version_text(const FirmwareVersion& version);

// When a status fault fires, counted in calls of its OID to one adapter
// since the library was made (the first call is call 1).
enum class FaultWhen { Always, Once, From };

// Answer `status` to requests of `oid`: always, on the first call only, or
// on every call from call `from_call` on.
struct StatusFault {
  std::uint32_t oid = 0;
  std::uint32_t status = 0;
  FaultWhen when = FaultWhen::Always;
  std::uint32_t from_call = 1;
  bool operator==(const StatusFault&) const = default;
};

// A block write (a non-empty aux write the driver would accept) that fails:
// the `at_write`-th one fails, and with FailTwice the one after it too.
enum class BlockWriteFault { None, FailOnce, FailTwice };

// What a read of a PDA copy answers: what is stored, erased bytes, or what
// is stored with its CRC word damaged.
enum class PdaCopyFault { None, Erased, BadCrc };

struct AdapterDescription {
  // How the host's registry knows the adapter.
  std::string display_name = "Velk 6271 Wireless USB Adapter";
  // The driver instance name: a GUID on NT 5, a service name on NT 4, the
  // driver file on 9x. On NT the open name "\Device\" + instance_name
  // designates this adapter.
  std::string instance_name;
  // The network-class subkey; on 9x the open name is this subkey name.
  std::string class_subkey;
  std::string matching_device_id = "usb\\vid_6271&pid_0001";
  // The device instance key below the device key; chosen when empty.
  std::string device_instance;
  // CSConfigFlags bit 0 in the current hardware profile.
  bool disabled = false;

  // What the adapter and its driver answer.
  std::uint16_t platform_type = 2;
  FirmwareVersion primary{1, 1, 3};
  FirmwareVersion station{1, 4, 0};
  std::uint16_t supplier_bottom = 1;
  std::uint16_t supplier_top = 4;
  std::string firmware_files = "PU010103.HEX SU010400.HEX";
  std::array<std::uint8_t, 6> mac_address{0x00, 0x90, 0x4B, 0x62, 0x71, 0x01};
  std::uint32_t driver_version = 0x00010203;
  bool enable_aux_accepted = true;
  // false: the driver lacks the probe request and answers
  // NDIS_STATUS_INVALID_OID.
  bool probe_supported = true;

  // Faults.
  std::vector<StatusFault> status_faults;
  BlockWriteFault block_write_fault = BlockWriteFault::None;
  std::uint32_t block_write_fault_at = 1;
  // RIDs read with status 0 and length word 0.
  std::vector<std::uint16_t> rid_length_zero;
  PdaCopyFault pda_a = PdaCopyFault::None;
  PdaCopyFault pda_b = PdaCopyFault::None;
  // The adapter is removed after this many requests; 0: never.
  std::uint32_t removed_after = 0;

  bool operator==(const AdapterDescription&) const = default;
};

// Reads adapter.conf over the defaults. False, with the first bad line and
// why in `error`, for an unknown key or a value that does not parse.
bool parse_adapter_description(const std::string& text, AdapterDescription& description,
                               std::string& error);
bool read_adapter_description(const std::string& path, AdapterDescription& description,
                              std::string& error);

// The commented adapter.conf text for a description; parses back equal.
std::string format_adapter_description(const AdapterDescription& description);
bool write_adapter_description(const std::string& path, const AdapterDescription& description);

// Sets one key from its text, as a line of adapter.conf would; false with
// the reason in `error`.
bool set_description_key(AdapterDescription& description, const std::string& key,
                         const std::string& value, std::string& error);

}  // namespace devov::emulator
