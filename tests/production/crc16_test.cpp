// CRC-16/ARC: the standard check value and the CRC of an empty PDA.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "production/crc16.h"

namespace devov::test {
namespace {

TEST(Crc16, GivesTheCheckValueOfTheNineDigits) {
  const char* digits = "123456789";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(digits);
  EXPECT_EQ(crc16_update(0, bytes, 9), 0xBB3D);
  // Continuing a CRC over the rest gives the same as one pass.
  EXPECT_EQ(crc16_update(crc16_update(0, bytes, 4), bytes + 4, 5), 0xBB3D);
}

TEST(Crc16, WordsRunLowByteFirst) {
  const std::uint8_t end_record_head[] = {0x02, 0x00, 0x00, 0x00};
  EXPECT_EQ(crc16_update(0, end_record_head, 4), 0xB801);
  const std::uint16_t words[] = {0x0002, 0x0000};
  EXPECT_EQ(crc16_update_words(0, words, 2), 0xB801);

  const std::uint16_t swapped[] = {0x3231, 0x3433};  // "1234" two to a word
  EXPECT_EQ(crc16_update_words(0, swapped, 2),
            crc16_update(0, reinterpret_cast<const std::uint8_t*>("1234"), 4));
}

}  // namespace
}  // namespace devov::test
