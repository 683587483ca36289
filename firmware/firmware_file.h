// FirmwareFile: what one loaded firmware file says about itself (identities,
// compatibility ranges, platforms), and the S-record reader that loads it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/firmware_identity.h"

namespace devov {

class FirmwareImage;
class PlugList;

// Interfaces a compatibility record speaks of, indexed by interface id.
inline constexpr std::uint16_t kModemInterface = 1;
inline constexpr std::uint16_t kControllerInterface = 2;
inline constexpr std::uint16_t kPrimaryDriverInterface = 3;
inline constexpr std::uint16_t kStationDriverInterface = 4;
inline constexpr std::size_t kCompatibilitySlots = 5;

inline constexpr std::uint16_t kRoleSupplier = 0;
inline constexpr std::uint16_t kRoleActor = 1;

struct CompatibilityEntry {
  bool present = false;
  std::uint16_t role = 0;
  std::uint16_t interface_id = 0;
  std::uint16_t variant = 0;
  std::uint16_t bottom = 0;  // inclusive
  std::uint16_t top = 0;     // inclusive
};

struct PlatformEntry {
  bool present = false;
  std::uint16_t platform_id = 0;
};

// Platform records fill slots 0 to 28 in order; every further one lands in
// slot 29, which find_platform does not search.
inline constexpr std::size_t kPlatformSlots = 30;
inline constexpr std::size_t kSearchedPlatformSlots = 29;

// Info record types.
inline constexpr std::uint16_t kInfoIdentity = 1;
inline constexpr std::uint16_t kInfoCompatibility = 2;
inline constexpr std::uint16_t kInfoBuildSequence = 3;
inline constexpr std::uint16_t kInfoPlatform = 4;
// The most words an info record may hold after its length word.
inline constexpr std::uint16_t kMaxInfoWords = 20;

// Lines read from a file on disk stop after this many once a record has been
// accepted past it.
inline constexpr std::uint32_t kMaxFileLines = 32000;

class FirmwareFile {
 public:
  FirmwareIdentity primary_identity;
  FirmwareIdentity station_identity;
  std::array<CompatibilityEntry, kCompatibilitySlots> compatibility{};
  std::array<PlatformEntry, kPlatformSlots> platforms{};

  // The CRC records read, in file order: the area the firmware's own check
  // covers and whether the record asked for the marker. The program computes
  // no checksum; it only places the marker. Shown by the inspect tool.
  struct CrcArea {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    bool marker = false;
  };
  std::vector<CrcArea> crc_areas;

  // Clears the present flags of the identities, the compatibility entries
  // and the platform entries, and forgets the CRC areas.
  void clear_info();

  // Applies one info record: `count` data bytes, little-endian words, the
  // first being the number of words that follow. False, with the reason in
  // the log, for a record the reader must refuse.
  bool decode_info_record(const std::uint8_t* data, std::size_t count,
                          std::uint32_t line_number);

  // "\n  Compatibility:\n" and one line per present interface 1 to 4.
  std::string compatibility_text() const;

  // 1 when slots 0 to 28 hold the id, 0 when not, -1 when the file has no
  // platform record at all.
  int find_platform(std::uint16_t platform_id) const;

  // Whether this file's interface-3 range shares a level with
  // [bottom, top]. A file without an interface-3 record fits nothing.
  bool fits_range(std::uint16_t bottom, std::uint16_t top) const;
  // fits_range with the primary file's interface-3 range; false too when the
  // primary file has no interface-3 record.
  bool fits_primary(const FirmwareFile& primary) const;

  // Reads an S-record file from disk. The image and the plug list may each
  // be null: the lines are still checked and the info records kept. Answers
  // the number of lines counted (a file of n lines ending in a line feed
  // gives n + 1), or 0 on failure. Counts beyond 65535 answer 65535.
  std::uint16_t load_file(const std::string& path, FirmwareImage* image, PlugList* plugs);

  // Reads the embedded firmware text with that id; a text of n lines gives n.
  std::uint16_t load_resource(int resource_id, FirmwareImage* image, PlugList* plugs);

  // Checks one line and, when it is sound, applies it. False, with the reason
  // in the log, for a line that ends the load. The line is only read.
  bool read_record(std::string_view line, std::uint32_t line_number, FirmwareImage* image,
                   PlugList* plugs);
};

}  // namespace devov
