// The info records of a firmware file: the decoder's checks and messages,
// identities, compatibility entries and platforms, the version triple, the
// compatibility listing and the range fit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "firmware/firmware_identity.h"
#include "tests/firmware/firmware_test_support.h"

namespace devov::test {
namespace {

using InfoRecordTest = FirmwareTest;

// Decodes as line 9 from a buffer of exactly the record's size, so that a
// read past the record is a read past the buffer.
bool decode(FirmwareFile& file, const std::vector<std::uint8_t>& bytes) {
  auto exact = std::make_unique<std::uint8_t[]>(bytes.size() + (bytes.empty() ? 1 : 0));
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return file.decode_info_record(exact.get(), bytes.size(), 9);
}

TEST_F(InfoRecordTest, ChecksAndMessages) {
  const std::string size = "Line 9: Record length does not correspond to size field.\n";
  const std::string too_long = "Line 9: Record length too long.\n";
  const std::string format = "Line 9: Invalid record format. \n";
  std::vector<std::uint16_t> twenty_one(22, 0);
  twenty_one[0] = 21;
  twenty_one[1] = 3;
  std::vector<std::uint16_t> twenty(21, 0);
  twenty[0] = 20;
  twenty[1] = 3;
  twenty[2] = 0x14;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool accepted;
    std::string log;
  } cases[] = {
      {"14 data bytes with word 0 of 5", info_bytes({5, 1, 21, 0, 0, 0, 0}), false, size},
      {"word 0 of 21 and 44 data bytes", info_bytes(twenty_one), false, too_long},
      {"word 0 of 20 and 42 data bytes", info_bytes(twenty), true, "Build sequence: 20\n"},
      {"no data bytes", {}, false, size},
      {"one data byte", {0x00}, false, size},
      {"no type word", info_bytes({0}), false, format},
      {"build sequence without its number", info_bytes({1, 3}), false, format},
      {"identity of four words", info_bytes({4, 1, 21, 0, 0}), false, format},
      {"identity of six words", info_bytes({6, 1, 21, 0, 0, 0, 0}), false, format},
      {"compatibility of five words", info_bytes({5, 2, 0, 3, 0, 1}), false, format},
      {"compatibility of two words", info_bytes({2, 2, 0}), false, format},
      {"compatibility for interface 5", info_bytes({6, 2, 0, 5, 1, 1, 2}), false, format},
      {"platform of six words", info_bytes({6, 4, 0x8002, 0, 0, 0, 0}), false, format},
      {"unknown type with data",
       info_bytes({4, 9, 0x000A, 0x001F, 0xFFFF}), true,
       "Unknown firmware info record - size: 4, type 9; Data:  a 1f ffff \n"},
      {"type 0 without data", info_bytes({1, 0}), true,
       "Unknown firmware info record - size: 1, type 0; Data:  \n"},
      {"type 5", info_bytes({2, 5, 0xABC}), true,
       "Unknown firmware info record - size: 2, type 5; Data:  abc \n"},
      {"identity of another component", info_bytes({5, 1, 22, 1, 2, 3}), true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareFile fresh;
    const std::string before = log_text();
    EXPECT_EQ(decode(fresh, c.bytes), c.accepted);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
    EXPECT_FALSE(fresh.primary_identity.present);
    EXPECT_FALSE(fresh.station_identity.present);
    EXPECT_EQ(fresh.find_platform(0x8002), -1);
  }
}

TEST_F(InfoRecordTest, IdentitiesCompatibilityAndPlatformsFillTheirSlots) {
  ASSERT_TRUE(decode(file, info_bytes({5, 1, 21, 3, 1, 5})));
  ASSERT_TRUE(decode(file, info_bytes({5, 1, 31, 6, 1, 7})));
  EXPECT_EQ(file.primary_identity.component_id, 21);
  EXPECT_EQ(file.primary_identity.to_text(), "1.5.3");
  EXPECT_EQ(file.station_identity.component_id, 31);
  EXPECT_EQ(file.station_identity.to_text(), "1.7.6");

  ASSERT_TRUE(decode(file, info_bytes({6, 2, 1, 3, 7, 1, 2})));
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 0, 3, 8, 3, 4})));  // replaces the first
  const CompatibilityEntry& three = file.compatibility[3];
  EXPECT_TRUE(three.present);
  EXPECT_EQ(three.role, 0);
  EXPECT_EQ(three.interface_id, 3);
  EXPECT_EQ(three.variant, 8);
  EXPECT_EQ(three.bottom, 3);
  EXPECT_EQ(three.top, 4);
  EXPECT_FALSE(file.compatibility[2].present);

  file.clear_info();
  EXPECT_FALSE(file.primary_identity.present);
  EXPECT_FALSE(file.station_identity.present);
  EXPECT_FALSE(file.compatibility[3].present);
}

TEST_F(InfoRecordTest, FindPlatformSearchesTheFirst29Slots) {
  EXPECT_EQ(file.find_platform(0x8002), -1);
  ASSERT_TRUE(decode(file, info_bytes({5, 4, 0x8002, 1, 2, 3})));
  EXPECT_EQ(file.find_platform(0x8002), 1);
  EXPECT_EQ(file.find_platform(0x8003), 0);

  file.clear_info();
  for (std::uint16_t k = 0; k < 31; ++k)
    ASSERT_TRUE(decode(file, info_bytes({5, 4, static_cast<std::uint16_t>(0x9000 + k), 0, 0, 0})));
  for (std::uint16_t k = 0; k < 29; ++k) {
    EXPECT_EQ(file.platforms[k].platform_id, 0x9000 + k);
    EXPECT_EQ(file.find_platform(static_cast<std::uint16_t>(0x9000 + k)), 1);
  }
  EXPECT_TRUE(file.platforms[29].present);
  EXPECT_EQ(file.platforms[29].platform_id, 0x9000 + 30);
  EXPECT_EQ(file.find_platform(0x9000 + 30), 0);
  EXPECT_EQ(file.find_platform(0x9000 + 29), 0);
}

TEST(FirmwareIdentityTest, CompareAndText) {
  const struct {
    FirmwareIdentity self;
    FirmwareIdentity other;
    int sign;
  } cases[] = {
      {{true, 31, 1, 5, 6}, {true, 31, 1, 5, 3}, 1},
      {{true, 31, 1, 1, 3}, {true, 31, 1, 2, 0}, -1},
      {{true, 31, 1, 5, 3}, {true, 31, 1, 5, 3}, 0},
      {{true, 31, 2, 0, 0}, {true, 31, 1, 9, 9}, 1},
      {{true, 31, 0, 0, 0}, {true, 31, 65535, 0, 0}, -1},
      {{true, 31, 0, 0, 65535}, {true, 31, 0, 0, 0}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.self.to_text() + " vs " + c.other.to_text());
    const int result = c.self.compare(c.other);
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
  }
  EXPECT_EQ((FirmwareIdentity{true, 21, 1, 5, 6}).to_text(), "1.5.6");
  EXPECT_EQ((FirmwareIdentity{true, 21, 10, 0, 65535}).to_text(), "10.0.65535");
}

TEST_F(InfoRecordTest, CompatibilityListingNamesInterfacesOneToFourInOrder) {
  EXPECT_EQ(file.compatibility_text(), "\n  Compatibility:\n");
  // Read in an order other than the listing's.
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 0, 4, 2, 1, 3})));
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 1, 3, 1, 1, 2})));
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 1, 1, 1, 1, 1})));
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 1, 2, 1, 1, 1})));
  ASSERT_TRUE(decode(file, info_bytes({6, 2, 0, 0, 9, 9, 9})));  // interface 0: never listed
  EXPECT_EQ(file.compatibility_text(),
            "\n  Compatibility:\n"
            "    Modem-Firmware: Actor: Range=1..1 Variant=1\n"
            "    Controller-Firmware: Actor: Range=1..1 Variant=1\n"
            "    Primary Firmware-Driver: Actor: Range=1..2 Variant=1\n"
            "    Station Firmware-Driver: Supplier: Range=1..3 Variant=2\n");

  FirmwareFile odd_role;
  ASSERT_TRUE(decode(odd_role, info_bytes({6, 2, 7, 2, 4, 10, 65535})));
  EXPECT_EQ(odd_role.compatibility_text(),
            "\n  Compatibility:\n    Controller-Firmware: 7: Range=10..65535 Variant=4\n");
}

TEST_F(InfoRecordTest, RangeFitNeedsASharedInterface3Level) {
  FirmwareFile station;
  ASSERT_TRUE(decode(station, info_bytes({6, 2, 1, 3, 1, 1, 2})));
  const struct {
    std::uint16_t bottom;
    std::uint16_t top;
    bool fits;
  } cases[] = {
      {1, 4, true}, {2, 7, true}, {3, 4, false}, {0, 0, false}, {2, 2, true}, {0, 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.bottom) + ".." + std::to_string(c.top));
    EXPECT_EQ(station.fits_range(c.bottom, c.top), c.fits);
    FirmwareFile primary;
    ASSERT_TRUE(decode(primary, info_bytes({6, 2, 0, 3, 1, c.bottom, c.top})));
    EXPECT_EQ(station.fits_primary(primary), c.fits);
  }
  // Role and variant are not compared; other interfaces do not count.
  FirmwareFile primary;
  ASSERT_TRUE(decode(primary, info_bytes({6, 2, 1, 3, 99, 2, 5})));
  ASSERT_TRUE(decode(primary, info_bytes({6, 2, 0, 4, 1, 9, 9})));
  EXPECT_TRUE(station.fits_primary(primary));
}

TEST_F(InfoRecordTest, NoInterface3RecordFitsNothing) {
  FirmwareFile without;
  ASSERT_TRUE(decode(without, info_bytes({6, 2, 1, 4, 1, 0, 65535})));
  FirmwareFile with;
  ASSERT_TRUE(decode(with, info_bytes({6, 2, 0, 3, 1, 0, 65535})));
  EXPECT_FALSE(without.fits_range(0, 65535));
  EXPECT_FALSE(without.fits_primary(with));
  EXPECT_FALSE(with.fits_primary(without));
  EXPECT_TRUE(with.fits_primary(with));

  // A load clears the entry: a value left from an earlier file is not used.
  with.clear_info();
  EXPECT_FALSE(with.fits_range(0, 65535));
}

}  // namespace
}  // namespace devov::test
