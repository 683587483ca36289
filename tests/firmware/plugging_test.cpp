// Plugging: the name plug text, PDR data into the image, the one log line
// with its warnings, and the order of the entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/plugging.h"
#include "production/pda_list.h"
#include "tests/firmware/firmware_test_support.h"

namespace devov::test {
namespace {

class PluggingTest : public FirmwareTest {
 protected:
  PluggingTest() {
    put(0x3F0000, std::vector<std::uint8_t>(0x40, 0xEE));
    // PDR 0x0103 with length word 7: six data words.
    pda_put({7, 0x0103, 0x0201, 0x0403, 0x0605, 0x0807, 0x0A09, 0x0C0B});
    // PDR 0x0101 with length word 4: a MAC address.
    pda_put({4, 0x0101, 0x9000, 0x124B, 0x5634});
  }

  void pda_put(const std::vector<std::uint16_t>& record) { pda.put(record.data()); }

  // Plugs and answers what the call added to the log.
  std::string plug(const std::string& name = "C:\\fw\\su010503.hex") {
    const std::string before = log_text();
    plug_image(image, plugs, pda, name);
    return log_text().substr(before.size());
  }

  std::vector<int> bytes(std::uint32_t address, std::size_t count) const {
    std::vector<int> out;
    for (std::size_t i = 0; i < count; ++i)
      out.push_back(image_byte(image, static_cast<std::uint32_t>(address + i)));
    return out;
  }

  static std::vector<int> text_bytes(const std::string& text) {
    return std::vector<int>(text.begin(), text.end());
  }

  PdaList pda;
};

TEST_F(PluggingTest, EmptyPlugListPlugsEverything) {
  EXPECT_EQ(plug(), "Plugging:  All Entries Plugged!\n");
}

TEST(NamePlugText, BaseNameUpperCasedCutAndPadded) {
  const struct {
    const char* name;
    std::uint16_t length;
    std::string text;
  } cases[] = {
      {"C:\\fw\\su010503.hex", 14, std::string("SU010503.HEX\0\0", 14)},
      {"su010503.hex", 12, "SU010503.HEX"},
      {"A:pri.hex", 8, std::string("PRI.HEX\0", 8)},
      {"C:\\fw:x\\y:last.hex", 8, std::string("LAST.HEX", 8)},
      {"C:\\firmware\\station-1.5.6.hex", 9, "STATION-1"},
      {"C:\\fw\\", 3, std::string("\0\0\0", 3)},
      {"C:\\fw\\abcdefghijklmnopqrstuvwxyz.hex", 30, "ABCDEFGHIJKLMNOPQRST"},
      {"x.hex", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(name_plug_text(c.name, c.length), c.text);
  }
}

TEST_F(PluggingTest, NamePlugWritesTheBaseNameAndCountsNeitherWay) {
  plugs.add(0x3F0010, kFileNamePlugCode, 14);
  EXPECT_EQ(plug(), "Plugging:  [filename]  All Entries Plugged!\n");
  std::vector<int> expected = text_bytes("SU010503.HEX");
  expected.insert(expected.end(), {0, 0, 0xEE});
  EXPECT_EQ(bytes(0x3F0010, 15), expected);
}

TEST_F(PluggingTest, NamePlugOfThirtyWritesTwentyBytes) {
  plugs.add(0x3F0010, kFileNamePlugCode, 30);
  EXPECT_EQ(plug("C:\\fw\\su010503.hex"), "Plugging:  [filename]  All Entries Plugged!\n");
  std::vector<int> expected = text_bytes("SU010503.HEX");
  expected.resize(20, 0);
  expected.resize(30, 0xEE);
  EXPECT_EQ(bytes(0x3F0010, 30), expected);
}

TEST_F(PluggingTest, NamePlugThatDoesNotFitIsOnlyAWarning) {
  plugs.add(0x3F0038, kFileNamePlugCode, 14);  // runs past 0x3F003F
  EXPECT_EQ(plug(), "Plugging:  Warning: file name plug does not fit!\nAll Entries Plugged!\n");
  EXPECT_EQ(bytes(0x3F0038, 8), std::vector<int>(8, 0xEE));
}

TEST_F(PluggingTest, PdrPlugsAndTheirWarnings) {
  const struct {
    const char* name;
    std::uint32_t code;
    std::uint32_t address;
    std::uint16_t length;
    const char* log;
    std::vector<int> bytes_at_3f0020;  // eight bytes after the plug
  } cases[] = {
      {"six data words into twelve bytes", 0x0103, 0x3F0020, 12,
       "Plugging:  (103 ok) All Entries Plugged!\n",
       {1, 2, 3, 4, 5, 6, 7, 8}},
      {"whole code logged, low 16 bits looked up", 0x00AB0103, 0x3F0020, 12,
       "Plugging:  (ab0103 ok) All Entries Plugged!\n",
       {1, 2, 3, 4, 5, 6, 7, 8}},
      {"length mismatch", 0x0103, 0x3F0020, 10,
       "Plugging:  (Warning: Length mismatch on PDR 103)\n",
       std::vector<int>(8, 0xEE)},
      {"PDR missing", 0x0999, 0x3F0020, 12, "Plugging:  (Warning: PDR 999 NOT in PDA)\n\n",
       std::vector<int>(8, 0xEE)},
      {"target runs past the segment", 0x0103, 0x3F0038, 12,
       "Plugging:  Warning: Invalid plug record 0x103. Target area does not exist.\n\n",
       std::vector<int>(8, 0xEE)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    image.clear();
    put(0x3F0000, std::vector<std::uint8_t>(0x40, 0xEE));
    plugs.clear();
    plugs.add(c.address, c.code, c.length);
    EXPECT_EQ(plug(), c.log);
    EXPECT_EQ(bytes(0x3F0020, 8), c.bytes_at_3f0020);
    EXPECT_EQ(bytes(0x3F0038, 8), std::vector<int>(8, 0xEE));
  }
}

TEST_F(PluggingTest, PdrWithLengthWordSixDoesNotFillATwelveBytePlug) {
  pda_put({6, 0x0103, 1, 2, 3, 4, 5});
  plugs.add(0x3F0020, 0x0103, 12);
  EXPECT_EQ(plug(), "Plugging:  (Warning: Length mismatch on PDR 103)\n");
  EXPECT_EQ(bytes(0x3F0020, 12), std::vector<int>(12, 0xEE));
}

TEST_F(PluggingTest, EntriesGoInAscendingAddressAndEveryCopyIsWritten) {
  put(0x3F0000, std::vector<std::uint8_t>(0x10, 0xDD));  // a second copy of 0x3F0000..0F
  plugs.add(0x3F0030, kFileNamePlugCode, 4);
  plugs.add(0x3F0020, 0x0999, 2);
  plugs.add(0x3F0000, 0x0101, 6);
  EXPECT_EQ(plug("fw.hex"),
            "Plugging:  (101 ok) (Warning: PDR 999 NOT in PDA)\n[filename]  \n");
  const std::vector<int> mac = {0x00, 0x90, 0x4B, 0x12, 0x34, 0x56};
  EXPECT_EQ(bytes(0x3F0000, 6), mac);
  for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(image_byte(image, 0x3F0000 + i, 2), mac[i]);
  EXPECT_EQ(bytes(0x3F0030, 4), text_bytes("FW.H"));
}

TEST_F(PluggingTest, PlugSpanningJoinedSegmentsIsWritten) {
  put(0x3F0100, std::vector<std::uint8_t>(4, 0xEE));
  put(0x3F0040, std::vector<std::uint8_t>(4, 0xEE));  // starts where the first ends
  plugs.add(0x3F003C, 0x0101, 6);
  EXPECT_EQ(plug(), "Plugging:  (101 ok) All Entries Plugged!\n");
  EXPECT_EQ(bytes(0x3F003C, 8), (std::vector<int>{0x00, 0x90, 0x4B, 0x12, 0x34, 0x56, 0xEE,
                                                   0xEE}));
}

TEST_F(PluggingTest, PluggingTwiceGivesTheSameImage) {
  plugs.add(0x3F0010, kFileNamePlugCode, 14);
  plugs.add(0x3F0020, 0x0103, 12);
  plug();
  const std::vector<int> first = bytes(0x3F0000, 0x40);
  EXPECT_EQ(plug(), "Plugging:  [filename]  (103 ok) All Entries Plugged!\n");
  EXPECT_EQ(bytes(0x3F0000, 0x40), first);
}

}  // namespace
}  // namespace devov::test
