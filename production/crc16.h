// CRC-16/ARC, the checksum that closes every PDA: polynomial 0x8005 in its
// reflected form 0xA001, initial value 0, no final XOR.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace devov {

inline constexpr std::uint16_t kCrc16Polynomial = 0xA001;

// The 256 remainders of the reflected polynomial, one per byte value.
const std::array<std::uint16_t, 256>& crc16_table();

// Continues `crc` over `count` bytes, one table step per byte.
std::uint16_t crc16_update(std::uint16_t crc, const std::uint8_t* bytes,
                           std::uint16_t count);

// Continues `crc` over `count` words, each as its low byte, then its high
// byte, the order in which the PDA stores them.
std::uint16_t crc16_update_words(std::uint16_t crc, const std::uint16_t* words,
                                 std::size_t count);

}  // namespace devov
