// The two records the session exchanges with the driver: the RID record of a
// firmware configuration read and the aux record of an adapter-memory read or
// write. Both are byte arrays with little-endian fields, so their layout does
// not depend on the host's byte order or packing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace devov {

inline std::uint16_t load_le16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}
inline std::uint32_t load_le32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}
inline void store_le16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void store_le32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Word 0 the length L (filled in by the driver, 0 means nothing was read),
// word 1 the RID, then room for 250 data words.
inline constexpr std::size_t kRidRecordSize = 504;
inline constexpr std::size_t kRidRecordWords = kRidRecordSize / 2;
inline constexpr std::size_t kRidFirstDataWord = 2;
inline constexpr std::size_t kRidDataWords = kRidRecordWords - kRidFirstDataWord;

struct RidRecord {
  std::array<std::uint8_t, kRidRecordSize> bytes{};

  std::uint16_t word(std::size_t index) const { return load_le16(&bytes.at(2 * index)); }
  void set_word(std::size_t index, std::uint16_t value) {
    store_le16(&bytes.at(2 * index), value);
  }
  std::uint16_t length() const { return word(0); }
  std::uint16_t data_word(std::size_t index) const {
    return word(kRidFirstDataWord + index);
  }
  const std::uint8_t* data() const { return bytes.data() + 2 * kRidFirstDataWord; }
};

// Address (u32), data length n (u16), then n data bytes; sent with a buffer
// length of n + 6. The record has room for kMaxChunk data bytes.
inline constexpr std::size_t kAuxRecordSize = 2048;
inline constexpr std::size_t kAuxHeaderSize = 6;
inline constexpr std::uint16_t kMaxChunk = kAuxRecordSize - kAuxHeaderSize;

struct AuxRecord {
  std::array<std::uint8_t, kAuxRecordSize> bytes{};

  std::uint32_t address() const { return load_le32(bytes.data()); }
  void set_address(std::uint32_t address) { store_le32(bytes.data(), address); }
  std::uint16_t length() const { return load_le16(bytes.data() + 4); }
  void set_length(std::uint16_t length) { store_le16(bytes.data() + 4, length); }
  std::uint8_t* data() { return bytes.data() + kAuxHeaderSize; }
  const std::uint8_t* data() const { return bytes.data() + kAuxHeaderSize; }
};

}  // namespace devov
