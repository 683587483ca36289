// The adapter's flash, its second PDA copy and its identity blocks.
#include "emulator/adapter_memory.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "emulator/driver_requests.h"
#include "emulator/virtual_host.h"

namespace devov::emulator {
namespace {

constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint16_t kEndRecordLength = 2;
constexpr std::uint16_t kEndRecordCode = 0;
// What a damaged CRC word differs from the stored one by.
constexpr std::uint16_t kCrcDamage = 0x5A5A;

std::uint16_t word_at(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Makes the file `size` bytes long, erased where it was short or missing,
// and reads it.
bool open_store(const std::string& path, std::size_t size, std::vector<std::uint8_t>& store,
                std::string& error) {
  store = read_memory_file(path);
  if (store.size() >= size) {
    store.resize(size);
    return true;
  }
  const std::size_t had = store.size();
  store.resize(size, kErased);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(store.data() + had),
            static_cast<std::streamsize>(size - had));
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool write_through(const std::string& path, std::size_t offset, const std::uint8_t* data,
                   std::size_t n) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  if (!file) return false;
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(n));
  file.flush();
  return static_cast<bool>(file);
}

}  // namespace

std::vector<std::uint8_t> read_memory_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  if (size <= 0) return {};
  // One read of the whole file: a flash is megabytes.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  if (!in) return {};
  return bytes;
}

std::optional<IdentityBlock> read_identity_block(const std::vector<std::uint8_t>& flash,
                                                 std::uint32_t address) {
  const std::size_t marker = sizeof kIdentityMarker - 1;
  if (flash.size() < address + std::size_t{kIdentityBlockBytes}) return std::nullopt;
  if (std::memcmp(flash.data() + address, kIdentityMarker, marker) != 0) return std::nullopt;
  IdentityBlock block;
  block.component = word_at(flash, address + 8);
  block.version.major = word_at(flash, address + 10);
  block.version.minor = word_at(flash, address + 12);
  block.version.variant = word_at(flash, address + 14);
  for (std::uint32_t i = 0; i < kIdentityFileNameBytes; ++i) {
    const char c = static_cast<char>(flash[address + 16 + i]);
    if (c == '\0') break;
    block.file_name += c;
  }
  return block;
}

RunningFirmware running_firmware(const std::vector<std::uint8_t>& flash,
                                 const AdapterDescription& description) {
  RunningFirmware running;
  running.primary = description.primary;
  running.station = description.station;
  std::istringstream names(description.firmware_files);
  std::string primary_file, station_file;
  names >> primary_file >> station_file;

  auto primary = read_identity_block(flash, kPrimaryIdentityAddress);
  if (primary && primary->component == kPrimaryComponent) {
    running.primary = primary->version;
    running.primary_from_flash = true;
    if (!primary->file_name.empty()) primary_file = primary->file_name;
  }
  auto station = read_identity_block(flash, kStationIdentityAddress);
  if (station && station->component == kStationComponent) {
    running.station = station->version;
    running.station_from_flash = true;
    if (!station->file_name.empty()) station_file = station->file_name;
  }
  running.firmware_files = primary_file;
  if (!station_file.empty())
    running.firmware_files += (primary_file.empty() ? "" : " ") + station_file;
  return running;
}

std::vector<std::uint8_t> damage_pda_crc(std::vector<std::uint8_t> copy) {
  std::size_t at = 0;
  while (at + 4 <= copy.size()) {
    const std::uint16_t length = word_at(copy, at);
    const std::uint16_t code = word_at(copy, at + 2);
    if (length == 0) break;
    const std::size_t next = at + 2 * (std::size_t{length} + 1);
    if (next > copy.size()) break;
    if (length == kEndRecordLength && code == kEndRecordCode) {
      const std::uint16_t damaged = word_at(copy, at + 4) ^ kCrcDamage;
      copy[at + 4] = static_cast<std::uint8_t>(damaged);
      copy[at + 5] = static_cast<std::uint8_t>(damaged >> 8);
      break;
    }
    at = next;
  }
  return copy;
}

bool AdapterMemory::open(const std::string& adapter_folder, std::uint16_t platform_type,
                         std::string& error) {
  platform_type_ = platform_type;
  pda_address_ = emulator::pda_address(platform_type);
  flash_path_ = adapter_folder + "/" + kFlashFileName;
  copy_b_path_ = adapter_folder + "/" + kPdaCopyBFileName;
  return open_store(flash_path_, flash_size(platform_type), flash_, error) &&
         open_store(copy_b_path_, kPdaCopyBytes, copy_b_, error);
}

std::optional<AdapterMemory::Place> AdapterMemory::place(std::uint32_t address, std::uint32_t n,
                                                         bool read) const {
  if (read && platform_type_ == 1) address |= kType1ReadBits;
  Place place;
  place.copy_b = (address & kCopyBBit) != 0;
  const std::uint32_t plain = address & ~kCopyBBit;
  std::uint64_t offset = plain;
  std::uint64_t size = flash_.size();
  if (place.copy_b) {
    if (plain < pda_address_) return std::nullopt;
    offset = plain - pda_address_;
    size = copy_b_.size();
  }
  if (offset + n > size) return std::nullopt;
  place.offset = static_cast<std::uint32_t>(offset);
  return place;
}

std::vector<std::uint8_t> AdapterMemory::read(const Place& place, std::uint32_t n,
                                              PdaCopyFault fault_a, PdaCopyFault fault_b) const {
  const auto& store = place.copy_b ? copy_b_ : flash_;
  std::vector<std::uint8_t> out(store.begin() + place.offset, store.begin() + place.offset + n);
  // The PDA copy this read overlaps, in the store's offsets.
  const std::uint32_t copy_start = place.copy_b ? 0 : pda_address_;
  const PdaCopyFault fault = place.copy_b ? fault_b : fault_a;
  if (fault == PdaCopyFault::None) return out;
  const std::uint32_t from = std::max(place.offset, copy_start);
  const std::uint32_t to = std::min(place.offset + n, copy_start + kPdaCopyBytes);
  if (from >= to) return out;
  std::vector<std::uint8_t> copy(kPdaCopyBytes, kErased);
  if (fault == PdaCopyFault::BadCrc)
    copy = damage_pda_crc({store.begin() + copy_start, store.begin() + copy_start + kPdaCopyBytes});
  std::copy(copy.begin() + (from - copy_start), copy.begin() + (to - copy_start),
            out.begin() + (from - place.offset));
  return out;
}

bool AdapterMemory::write(const Place& place, const std::uint8_t* data, std::uint32_t n) {
  auto& store = place.copy_b ? copy_b_ : flash_;
  std::copy(data, data + n, store.begin() + place.offset);
  return write_through(place.copy_b ? copy_b_path_ : flash_path_, place.offset, data, n);
}

}  // namespace devov::emulator
