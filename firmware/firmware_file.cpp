// The info records of a firmware file: decoding, the compatibility listing,
// the platform search and the range fit.
#include "firmware/firmware_file.h"

#include <algorithm>

#include "shell/flash_log.h"

namespace devov {

namespace {

constexpr const char* kInterfaceNames[kCompatibilitySlots] = {
    "", "Modem-Firmware", "Controller-Firmware", "Primary Firmware-Driver",
    "Station Firmware-Driver"};

std::uint16_t word_at(const std::uint8_t* data, std::size_t index) {
  return static_cast<std::uint16_t>(data[2 * index] | (data[2 * index + 1] << 8));
}

bool refuse_format(std::uint32_t line_number) {
  log_message("Line %u: Invalid record format. \n", {line_number});
  return false;
}

}  // namespace

void FirmwareFile::clear_info() {
  primary_identity.present = false;
  station_identity.present = false;
  for (auto& entry : compatibility) entry.present = false;
  for (auto& entry : platforms) entry.present = false;
  crc_areas.clear();
}

bool FirmwareFile::decode_info_record(const std::uint8_t* data, std::size_t count,
                                      std::uint32_t line_number) {
  // A record too short to hold its length word cannot match any size field.
  const std::uint16_t words = count >= 2 ? word_at(data, 0) : 0;
  if (count < 2 || 2 * std::size_t{words} + 2 != count) {
    log_message("Line %u: Record length does not correspond to size field.\n", {line_number});
    return false;
  }
  if (words > kMaxInfoWords) {
    log_message("Line %u: Record length too long.\n", {line_number});
    return false;
  }
  // Without a type word there is nothing to decode.
  if (words == 0) return refuse_format(line_number);

  const std::uint16_t type = word_at(data, 1);
  switch (type) {
    case kInfoIdentity: {
      if (words != 5) return refuse_format(line_number);
      const std::uint16_t component = word_at(data, 2);
      FirmwareIdentity* identity = component == kPrimaryComponentId   ? &primary_identity
                                   : component == kStationComponentId ? &station_identity
                                                                      : nullptr;
      if (identity) {
        identity->present = true;
        identity->component_id = component;
        identity->variant = word_at(data, 3);
        identity->major = word_at(data, 4);
        identity->minor = word_at(data, 5);
      }
      break;
    }
    case kInfoCompatibility: {
      const std::uint16_t interface_id = words >= 3 ? word_at(data, 3) : 0;
      if (words != 6 || interface_id >= kCompatibilitySlots) return refuse_format(line_number);
      compatibility[interface_id] = CompatibilityEntry{
          true, word_at(data, 2), interface_id, word_at(data, 4), word_at(data, 5),
          word_at(data, 6)};
      break;
    }
    case kInfoBuildSequence:
      // The sequence number is word 2; a record that stops before it is
      // malformed.
      if (words < 2) return refuse_format(line_number);
      log_message("Build sequence: %u\n", {std::uint32_t{word_at(data, 2)}});
      break;
    case kInfoPlatform: {
      if (words != 5) return refuse_format(line_number);
      std::size_t slot = 0;
      while (slot < kSearchedPlatformSlots && platforms[slot].present) ++slot;
      platforms[slot] = PlatformEntry{true, word_at(data, 2)};
      break;
    }
    default:
      log_message("Unknown firmware info record - size: %x, type %x; ",
                  {std::uint32_t{words}, std::uint32_t{type}});
      log_message("Data:  ");
      for (std::size_t i = 2; i <= words; ++i)
        log_message("%x ", {std::uint32_t{word_at(data, i)}});
      log_message("\n");
      break;
  }
  return true;
}

std::string FirmwareFile::compatibility_text() const {
  std::string text = "\n  Compatibility:\n";
  for (std::uint16_t id = kModemInterface; id <= kStationDriverInterface; ++id) {
    const CompatibilityEntry& entry = compatibility[id];
    if (!entry.present) continue;
    text += "    ";
    text += kInterfaceNames[id];
    text += ": ";
    // A role without a name is shown by its number.
    if (entry.role == kRoleSupplier) text += "Supplier";
    else if (entry.role == kRoleActor) text += "Actor";
    else text += std::to_string(entry.role);
    text += ": Range=" + std::to_string(entry.bottom) + ".." + std::to_string(entry.top) +
            " Variant=" + std::to_string(entry.variant) + "\n";
  }
  return text;
}

int FirmwareFile::find_platform(std::uint16_t platform_id) const {
  for (std::size_t slot = 0; slot < kSearchedPlatformSlots; ++slot) {
    if (!platforms[slot].present) break;
    if (platforms[slot].platform_id == platform_id) return 1;
  }
  return platforms[0].present ? 0 : -1;
}

bool FirmwareFile::fits_range(std::uint16_t bottom, std::uint16_t top) const {
  const CompatibilityEntry& own = compatibility[kPrimaryDriverInterface];
  if (!own.present) return false;
  return std::max(own.bottom, bottom) <= std::min(own.top, top);
}

bool FirmwareFile::fits_primary(const FirmwareFile& primary) const {
  const CompatibilityEntry& other = primary.compatibility[kPrimaryDriverInterface];
  if (!other.present) return false;
  return fits_range(other.bottom, other.top);
}

}  // namespace devov
