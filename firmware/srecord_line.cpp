// Testing one S-record line: characters, leading S, type, length, checksum,
// then the address range of data records.
#include "firmware/srecord_line.h"

#include <cstring>

namespace devov {

namespace {

constexpr std::uint8_t kNotHex = 0xFF;

constexpr std::array<std::uint8_t, 256> make_hex_table() {
  std::array<std::uint8_t, 256> table{};
  for (auto& value : table) value = kNotHex;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<std::uint8_t>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<std::uint8_t>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<std::uint8_t>(c - 'A' + 10);
  return table;
}

constexpr std::array<std::uint8_t, 256> kHexValue = make_hex_table();

std::uint8_t nibble(std::string_view line, std::size_t position) {
  return kHexValue[static_cast<unsigned char>(line[position])];
}

// Two characters to the byte they spell, or kBadPair when either is not a
// hexadecimal digit: one lookup for each byte of a record.
constexpr std::uint16_t kBadPair = 0x100;

std::array<std::uint16_t, 65536> make_pair_table() {
  std::array<std::uint16_t, 65536> table{};
  for (unsigned high = 0; high < 256; ++high)
    for (unsigned low = 0; low < 256; ++low) {
      const unsigned a = kHexValue[high], b = kHexValue[low];
      table[high << 8 | low] =
          (a == kNotHex || b == kNotHex) ? kBadPair : static_cast<std::uint16_t>(a << 4 | b);
    }
  return table;
}

// Built once when the program starts; too large for compile-time evaluation
// on every compiler.
const std::array<std::uint16_t, 65536> kPairValue = make_pair_table();

std::uint16_t pair_value(std::string_view line, std::size_t position) {
  return kPairValue[static_cast<unsigned char>(line[position]) << 8 |
                    static_cast<unsigned char>(line[position + 1])];
}

struct TypeRow {
  bool supported;
  RecordKind kind;  // Data stands for "routed by address"
  std::uint8_t address_digits;
};

// Indexed by the type digit 0 to 15.
constexpr TypeRow kTypes[16] = {
    {true, RecordKind::Ignored, 0}, {true, RecordKind::Data, 4}, {true, RecordKind::Data, 6},
    {true, RecordKind::Data, 8},    {false, RecordKind::None, 0}, {true, RecordKind::Ignored, 0},
    {false, RecordKind::None, 0},   {true, RecordKind::End, 8},  {true, RecordKind::End, 6},
    {true, RecordKind::End, 4},     {false, RecordKind::None, 0}, {false, RecordKind::None, 0},
    {false, RecordKind::None, 0},   {false, RecordKind::None, 0}, {false, RecordKind::None, 0},
    {false, RecordKind::None, 0},
};

RecordKind route(std::uint32_t address) {
  if (address < kSpecialAddressBase) return RecordKind::Data;
  if (address == kPlugRecordAddress) return RecordKind::Plug;
  if (address == kCrcRecordAddress) return RecordKind::Crc;
  if ((address & kInfoRangeMask) == kInfoRangeBase) return RecordKind::Info;
  return RecordKind::None;
}

}  // namespace

LineFault check_srecord_line(std::string_view line, SRecordLine& record) {
  record.kind = RecordKind::None;
  const std::size_t n = line.size();

  // Every character after the first must be a digit; that test comes first.
  // A line of even length is tested and decoded two characters at a time,
  // the digit pairs from position 2 on being the bytes (count, address,
  // data, checksum). Any other line fails its length test further down, so
  // it is only tested character by character.
  // The bytes are summed on the way: when the count matches the line, that
  // is the sum of every byte from the count through the checksum.
  std::array<std::uint8_t, kMaxLineLength / 2 + 1> bytes;
  const bool paired = n >= 4 && n % 2 == 0;
  unsigned sum = 0;
  if (paired) {
    unsigned bad = nibble(line, 1) == kNotHex ? kBadPair : 0;
    for (std::size_t i = 2, k = 0; i < n; i += 2, ++k) {
      const std::uint16_t value = pair_value(line, i);
      bad |= value;
      sum += value;
      bytes[k] = static_cast<std::uint8_t>(value);
    }
    if (bad & kBadPair) return LineFault::BadCharacter;
  } else {
    // Digit values are below 16 and kNotHex has its top bit set, so one
    // test after the loop sees any bad character.
    std::uint8_t seen = 0;
    for (std::size_t i = 1; i < n; ++i) seen |= nibble(line, i);
    if (seen & 0x80) return LineFault::BadCharacter;
  }
  if (n == 0 || line[0] != 'S') return LineFault::NoLeadingS;
  // "S" alone has no type digit: it is too short to be a record at all.
  if (n < 2) return LineFault::BadLength;

  const std::uint8_t type = nibble(line, 1);
  const TypeRow& row = kTypes[type];
  if (!row.supported) return LineFault::UnsupportedType;
  record.type = type;
  record.kind = row.kind;

  // An odd length never equals count * 2 + 4.
  if (!paired) return LineFault::BadLength;
  const std::size_t count = bytes[0];
  const std::size_t digits = row.address_digits;
  if (count * 2 + 4 != n) return LineFault::BadLength;
  if (row.kind == RecordKind::End && n != digits + 6) return LineFault::BadLength;
  if (row.kind == RecordKind::Data && n < digits + 6) return LineFault::BadLength;

  if ((sum & 0xFF) != 0xFF) return LineFault::BadChecksum;

  if (row.kind == RecordKind::Ignored) return LineFault::None;

  const std::size_t address_bytes = digits / 2;
  std::uint32_t address = 0;
  for (std::size_t k = 1; k <= address_bytes; ++k) address = address << 8 | bytes[k];
  record.address = address;
  const std::size_t data_count = count - address_bytes - 1;
  record.data_count = static_cast<std::uint16_t>(data_count);
  std::memcpy(record.data.data(), bytes.data() + 1 + address_bytes, data_count);

  if (row.kind == RecordKind::End) return LineFault::None;

  record.kind = route(address);
  if (record.kind == RecordKind::None) return LineFault::UnknownAddress;
  if ((record.kind == RecordKind::Plug || record.kind == RecordKind::Crc) &&
      data_count < kSpecialRecordBytes)
    return LineFault::ShortSpecialRecord;
  return LineFault::None;
}

}  // namespace devov
