// The checking half of the S-record reader: one text line tested and decoded
// into a record, without acting on it. The reader applies what passes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace devov {

// A line holds at most this many characters; longer text is read as the
// next line.
inline constexpr std::size_t kMaxLineLength = 519;
// The count is one byte, so a record holds at most this many data bytes.
inline constexpr std::size_t kMaxRecordDataBytes = 254;

// Data records at or above this address are special records, not data.
inline constexpr std::uint32_t kSpecialAddressBase = 0x00F00000;
inline constexpr std::uint32_t kPlugRecordAddress = 0xFF000000;
inline constexpr std::uint32_t kCrcRecordAddress = 0xFF100000;
inline constexpr std::uint32_t kInfoRangeMask = 0xFFF00000;
inline constexpr std::uint32_t kInfoRangeBase = 0xFF200000;
// Plug and CRC records are read as three little-endian 32-bit values.
inline constexpr std::size_t kSpecialRecordBytes = 12;

// What a line is, once it has passed its tests.
enum class RecordKind {
  None,      // the test stopped before the type was known
  Ignored,   // header (S0) and record count (S5)
  End,       // S7, S8, S9: the start address
  Data,      // firmware bytes at `address`
  Plug,      // a plug entry
  Crc,       // a CRC area, perhaps with a marker request
  Info,      // an info record for the decoder
};

// The first test a line fails, in the order they are made.
enum class LineFault {
  None,
  BadCharacter,
  NoLeadingS,
  UnsupportedType,
  BadLength,
  BadChecksum,
  // A plug or CRC record with fewer than twelve data bytes.
  ShortSpecialRecord,
  UnknownAddress,
};

struct SRecordLine {
  RecordKind kind = RecordKind::None;
  std::uint8_t type = 0;
  std::uint32_t address = 0;
  std::uint16_t data_count = 0;
  std::array<std::uint8_t, kMaxRecordDataBytes> data;

  // Value i (0 to 2) of a plug or CRC record.
  std::uint32_t special_value(std::size_t i) const {
    return std::uint32_t{data[4 * i]} | std::uint32_t{data[4 * i + 1]} << 8 |
           std::uint32_t{data[4 * i + 2]} << 16 | std::uint32_t{data[4 * i + 3]} << 24;
  }
};

// Tests the line in the reader's order and fills `record` as far as the
// tests got: `kind` is known once the type test has passed, the rest only
// when the result is LineFault::None.
LineFault check_srecord_line(std::string_view line, SRecordLine& record);

}  // namespace devov
