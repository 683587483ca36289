// The table-driven CRC-16/ARC of the PDA.
#include "production/crc16.h"

namespace devov {
namespace {

constexpr std::array<std::uint16_t, 256> make_table() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::uint16_t remainder = static_cast<std::uint16_t>(byte);
    for (int bit = 0; bit < 8; ++bit)
      remainder = (remainder & 1u)
                      ? static_cast<std::uint16_t>((remainder >> 1) ^ kCrc16Polynomial)
                      : static_cast<std::uint16_t>(remainder >> 1);
    table[byte] = remainder;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = make_table();

std::uint16_t step(std::uint16_t crc, std::uint8_t byte) {
  return static_cast<std::uint16_t>(kTable[(crc ^ byte) & 0xFFu] ^ (crc >> 8));
}

}  // namespace

const std::array<std::uint16_t, 256>& crc16_table() { return kTable; }

std::uint16_t crc16_update(std::uint16_t crc, const std::uint8_t* bytes,
                           std::uint16_t count) {
  for (std::uint16_t i = 0; i < count; ++i) crc = step(crc, bytes[i]);
  return crc;
}

std::uint16_t crc16_update_words(std::uint16_t crc, const std::uint16_t* words,
                                 std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    crc = step(crc, static_cast<std::uint8_t>(words[i] & 0xFFu));
    crc = step(crc, static_cast<std::uint8_t>(words[i] >> 8));
  }
  return crc;
}

}  // namespace devov
