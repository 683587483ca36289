// Testing one S-record line: characters, leading S, type, length, checksum,
// then the address range of data records.
#include "firmware/srecord_line.h"

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

std::uint8_t byte_at(std::string_view line, std::size_t position) {
  return static_cast<std::uint8_t>(nibble(line, position) << 4 | nibble(line, position + 1));
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

  // Digit values are below 16 and kNotHex has its top bit set, so one test
  // after the loop sees any bad character.
  std::uint8_t seen = 0;
  for (std::size_t i = 1; i < n; ++i) seen |= nibble(line, i);
  if (seen & 0x80) return LineFault::BadCharacter;
  if (n == 0 || line[0] != 'S') return LineFault::NoLeadingS;
  // "S" alone has no type digit: it is too short to be a record at all.
  if (n < 2) return LineFault::BadLength;

  const std::uint8_t type = nibble(line, 1);
  const TypeRow& row = kTypes[type];
  if (!row.supported) return LineFault::UnsupportedType;
  record.type = type;
  record.kind = row.kind;

  if (n < 4) return LineFault::BadLength;
  const std::size_t count = byte_at(line, 2);
  const std::size_t digits = row.address_digits;
  if (count * 2 + 4 != n) return LineFault::BadLength;
  if (row.kind == RecordKind::End && n != digits + 6) return LineFault::BadLength;
  if (row.kind == RecordKind::Data && n < digits + 6) return LineFault::BadLength;

  // Only a header or count record of count 0 is shorter: its one digit pair
  // is the count, which as the whole sum can never be 0xFF.
  if (n < digits + 6) return LineFault::BadChecksum;

  // One pass over the digit pairs: the address and data bytes are decoded
  // into the record while the checksum is summed.
  const std::size_t data_count = (n - digits - 6) / 2;
  unsigned sum = static_cast<unsigned>(count);
  std::uint32_t address = 0;
  for (std::size_t i = 4; i < 4 + digits; i += 2) {
    const std::uint8_t b = byte_at(line, i);
    sum += b;
    address = address << 8 | b;
  }
  const std::size_t data_start = 4 + digits;
  for (std::size_t k = 0; k < data_count; ++k) {
    const std::uint8_t b = byte_at(line, data_start + 2 * k);
    record.data[k] = b;
    sum += b;
  }
  sum += byte_at(line, n - 2);
  if ((sum & 0xFF) != 0xFF) return LineFault::BadChecksum;

  if (row.kind == RecordKind::Ignored) return LineFault::None;
  record.address = address;
  record.data_count = static_cast<std::uint16_t>(data_count);

  if (row.kind == RecordKind::End) return LineFault::None;

  record.kind = route(address);
  if (record.kind == RecordKind::None) return LineFault::UnknownAddress;
  if ((record.kind == RecordKind::Plug || record.kind == RecordKind::Crc) &&
      data_count < kSpecialRecordBytes)
    return LineFault::ShortSpecialRecord;
  return LineFault::None;
}

}  // namespace devov
