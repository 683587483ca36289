// The adapter's memory: its flash in flash.bin and the PDA's second copy in
// pda_b.bin, both written through on every write so a later run sees them;
// the address decoding of the aux port; and the identity blocks that tell
// which firmware the flash holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/adapter_description.h"

namespace devov::emulator {

// The PDA area of one copy: 512 words.
inline constexpr std::uint32_t kPdaCopyBytes = 1024;

// Where the identity blocks stand in flash, and their marker.
inline constexpr std::uint32_t kPrimaryIdentityAddress = 0x3E0000;
inline constexpr std::uint32_t kStationIdentityAddress = 0x100000;
inline constexpr const char kIdentityMarker[] = "6271FWID";
inline constexpr std::uint32_t kIdentityBlockBytes = 32;
inline constexpr std::uint32_t kIdentityFileNameBytes = 14;

struct IdentityBlock {
  std::uint16_t component = 0;
  FirmwareVersion version;
  std::string file_name;
};

// The block at `address`, when its marker is there.
std::optional<IdentityBlock> read_identity_block(const std::vector<std::uint8_t>& flash,
                                                 std::uint32_t address);

// What the adapter's firmware answers after a start: the identity blocks'
// versions and file names where the flash holds them (with the right
// component id), else the description's.
struct RunningFirmware {
  FirmwareVersion primary;
  FirmwareVersion station;
  std::string firmware_files;
  bool primary_from_flash = false;
  bool station_from_flash = false;
};
RunningFirmware running_firmware(const std::vector<std::uint8_t>& flash,
                                 const AdapterDescription& description);

// A copy of the PDA area with its end record's CRC word changed; a copy
// without an end record comes back unchanged.
std::vector<std::uint8_t> damage_pda_crc(std::vector<std::uint8_t> copy);

class AdapterMemory {
 public:
  // Opens the adapter folder's memory files for a platform type, making
  // missing ones erased and growing short ones with erased bytes. False
  // with the reason when a file cannot be made.
  bool open(const std::string& adapter_folder, std::uint16_t platform_type, std::string& error);

  // Where an aux address lands: in flash, or (bit 31 set) in copy B, whose
  // first byte answers to the PDA address. Empty when the n bytes from
  // there do not all lie in that store. Reads on platform type 1 take
  // address bits 17 and 18 as set.
  struct Place {
    bool copy_b = false;
    std::uint32_t offset = 0;
  };
  std::optional<Place> place(std::uint32_t address, std::uint32_t n, bool read) const;

  // What a read answers, with a PDA copy's fault applied.
  std::vector<std::uint8_t> read(const Place& place, std::uint32_t n, PdaCopyFault fault_a,
                                 PdaCopyFault fault_b) const;
  // Stores the bytes and writes them through to the file; false when the
  // file cannot be written.
  bool write(const Place& place, const std::uint8_t* data, std::uint32_t n);

  const std::vector<std::uint8_t>& flash() const { return flash_; }
  const std::vector<std::uint8_t>& copy_b() const { return copy_b_; }
  std::uint32_t pda_address() const { return pda_address_; }

 private:
  std::string flash_path_;
  std::string copy_b_path_;
  std::uint16_t platform_type_ = 2;
  std::uint32_t pda_address_ = 0;
  std::vector<std::uint8_t> flash_;
  std::vector<std::uint8_t> copy_b_;
};

// Reads a whole memory file; empty when it cannot be read.
std::vector<std::uint8_t> read_memory_file(const std::string& path);

}  // namespace devov::emulator
