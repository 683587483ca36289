// The S-record reader: what the quoted lines decode to, the order of the
// line tests and their messages, the start address rule, line counting from
// a file and from an embedded text, and the two direct boxes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "shell/run_options.h"
#include "tests/firmware/firmware_test_support.h"

namespace devov::test {
namespace {

constexpr const char* kEndRecord = "S70500000000FA";

// Two data bytes at 0x0100.
std::string data_line() { return srecord(1, 0x0100, {0xAA, 0xBB}) + "\n"; }

using ReaderTest = FirmwareTest;

// The lines quoted for the reader and the info records, one each, read as
// line 1 into an image and a plug list.
TEST_F(ReaderTest, QuotedLinesDecodeAsDocumented) {
  struct Case {
    const char* name;
    const char* line;
    bool image_holds_marker_area;  // 0x3F07F0..0x3F07FF present beforehand
    const char* log;
    std::function<void(const FirmwareFile&, const FirmwareImage&, PlugList&)> check;
  };
  const Case cases[] = {
      {"file-name plug record", "S311FF000000FFFFFFFF42173F000E0000004D", false, "",
       [](const FirmwareFile&, const FirmwareImage& image, PlugList& plugs) {
         plugs.rewind();
         const PlugEntry* e = plugs.next();
         ASSERT_NE(e, nullptr);
         EXPECT_EQ(e->code, 0xFFFFFFFFu);
         EXPECT_EQ(e->address, 0x003F1742u);
         EXPECT_EQ(e->length, 14);
         EXPECT_EQ(plugs.next(), nullptr);
         EXPECT_EQ(image.segment_count(), 0);
       }},
      {"end record with start address 0", "S70500000000FA", false, "",
       [](const FirmwareFile&, const FirmwareImage& image, PlugList& plugs) {
         EXPECT_TRUE(image.has_start_address);
         EXPECT_EQ(image.start_address, 0u);
         EXPECT_EQ(plugs.head(), nullptr);
       }},
      {"build-sequence info record of three words", "S30BFF200000020003000000D0", false,
       "Build sequence: 0\n",
       [](const FirmwareFile& file, const FirmwareImage& image, PlugList&) {
         EXPECT_FALSE(file.primary_identity.present);
         EXPECT_FALSE(file.station_identity.present);
         for (const auto& entry : file.compatibility) EXPECT_FALSE(entry.present);
         EXPECT_EQ(file.find_platform(0), -1);
         EXPECT_EQ(image.segment_count(), 0);
       }},
      {"primary identity 0.3.0", "S311FF200000050001001500000000000300B1", false, "",
       [](const FirmwareFile& file, const FirmwareImage&, PlugList&) {
         EXPECT_TRUE(file.primary_identity.present);
         EXPECT_FALSE(file.station_identity.present);
         EXPECT_EQ(file.primary_identity.component_id, 21);
         EXPECT_EQ(file.primary_identity.variant, 0);
         EXPECT_EQ(file.primary_identity.major, 0);
         EXPECT_EQ(file.primary_identity.minor, 3);
         EXPECT_EQ(file.primary_identity.to_text(), "0.3.0");
       }},
      {"CRC marker over bytes the image holds", "S311FF10000000083F00520F00000100000036", true,
       "",
       [](const FirmwareFile&, const FirmwareImage& image, PlugList&) {
         EXPECT_EQ(image.segment_count(), 1);
         EXPECT_EQ(image_byte(image, 0x3F07FD), 0x0D);
         EXPECT_EQ(image_byte(image, 0x3F07FE), 0xDE);
         EXPECT_EQ(image_byte(image, 0x3F07FF), 0xC0);
       }},
      {"CRC marker added as new data", "S311FF10000000083F00520F00000100000036", false, "",
       [](const FirmwareFile&, const FirmwareImage& image, PlugList&) {
         ASSERT_EQ(image.segment_count(), 1);
         EXPECT_EQ(image.segment(1).address, 0x3F07FEu);
         EXPECT_EQ(image.segment(1).length, 2u);
         EXPECT_EQ(image_byte(image, 0x3F07FE), 0xDE);
         EXPECT_EQ(image_byte(image, 0x3F07FF), 0xC0);
       }},
      {"CRC record without marker request", "S311FF10000000083F00520F00000000000037", true, "",
       [](const FirmwareFile&, const FirmwareImage& image, PlugList&) {
         EXPECT_EQ(image.segment_count(), 1);
         EXPECT_EQ(image_byte(image, 0x3F07FE), 0x0E);
         EXPECT_EQ(image_byte(image, 0x3F07FF), 0x0F);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareFile fresh;
    FirmwareImage target;
    PlugList list;
    if (c.image_holds_marker_area) {
      const auto bytes = pattern(16);
      target.append(bytes.data(), 0x3F07F0, 16);
    }
    const std::string before = log_text();
    EXPECT_TRUE(fresh.read_record(c.line, 1, &target, &list));
    EXPECT_EQ(log_text().substr(before.size()), c.log);
    c.check(fresh, target, list);
  }
}

// Each line is read as line 7, with an image and a plug list.
TEST_F(ReaderTest, LineTestsRunInOrderWithTheirMessages) {
  const std::string bad_character = "Error: Line 7: Bad character found. Cannot process file.\n";
  const std::string no_s = "Error: Line 7: record does not begin with 'S'\n";
  const std::string bad_type = "ERROR: Line 7: record type invalid or unsupported.\n";
  const std::string bad_length = "ERROR: Line 7: line length invalid.\n";
  const std::string bad_checksum = "ERROR: Line 7: Checksum failed.\n";
  const std::string unknown = "Line 7: Unknown record type\n";
  const std::string ignored = "Info records ignored.\n";
  struct Case {
    const char* name;
    std::string line;
    std::string log;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"lower-case digits", "S311ff000000ffffffff42173f000e0000004d", "", true},
      {"checksum off by one", "S311FF000000FFFFFFFF42173F000E0000004E", bad_checksum, false},
      {"lower-case s", "s70500000000FA", no_s, false},
      {"other first character", "X70500000000FA", no_s, false},
      {"space after the first character", "S7050000 0000FA", bad_character, false},
      {"space and lower-case s: characters first", "s7050000 0000FA", bad_character, false},
      {"bad type character on a line of even length", "SX0500000000FA", bad_character, false},
      {"trailing space", "S70500000000FA ", bad_character, false},
      {"non-digit letter", "S705000G0000FA", bad_character, false},
      {"bad character before a bad type", "S40500000000FG", bad_character, false},
      {"S before type", "X4", no_s, false},
      {"type before length", "S4", bad_type, false},
      {"lower-case type digit a", "Sa0500000000FA", bad_type, false},
      {"S alone", "S", bad_length, false},
      {"three characters", "S70", bad_length, false},
      {"count too small for the line", "S70500000000FA00", bad_length, false},
      {"odd length", "S70500000000FA0", bad_length, false},
      {"end record with a data byte", srecord(7, 0, {0x00}), bad_length, false},
      {"S9 end record of six address digits", "S9050000000000", bad_length, false},
      {"data record without room for its address", "S1020000", bad_length, false},
      {"length before checksum", "S70400000000FA", bad_length, false},
      {"header record", "S0030000FC", ignored, true},
      {"header record, checksum wrong", "S0030000FD", ignored + bad_checksum, false},
      {"header record, length wrong", "S0040000FC", ignored + bad_length, false},
      {"header record with text", srecord(0, 0, {'h', 'd', 'r'}), ignored, true},
      {"record count", "S5030001FB", ignored, true},
      {"header record of count 0", "S000", ignored + bad_checksum, false},
      {"record count of count 0", "S500", ignored + bad_checksum, false},
      {"S3 at 0x00F00000", srecord(3, 0x00F00000, {1}), unknown, false},
      {"S3 at 0xFF000001", srecord(3, 0xFF000001, pattern(12)), unknown, false},
      {"S3 at 0xFF100001", srecord(3, 0xFF100001, pattern(12)), unknown, false},
      {"S3 at 0xFF300000", srecord(3, 0xFF300000, pattern(12)), unknown, false},
      {"S3 at 0xFFFFFFFF", srecord(3, 0xFFFFFFFF, pattern(12)), unknown, false},
      {"S2 at 0xF00000", srecord(2, 0xF00000, {1}), unknown, false},
      {"checksum before routing", "S30500F000000B", bad_checksum, false},
      {"S2 at 0xEFFFFF is data", srecord(2, 0xEFFFFF, {1}), "", true},
      {"S1 data", srecord(1, 0xFFFF, {1, 2}), "", true},
      {"S8 end record", srecord(8, 0, {}), "", true},
      {"S9 end record", srecord(9, 0, {}), "", true},
      {"info record at 0xFF2ABCDE", srecord(3, 0xFF2ABCDE, info_bytes({2, 3, 7})),
       "Build sequence: 7\n", true},
      {"info record at 0xFF2FFFFF", srecord(3, 0xFF2FFFFF, info_bytes({2, 3, 9})),
       "Build sequence: 9\n", true},
      {"plug record of eight data bytes", srecord(3, 0xFF000000, pattern(8)), bad_length, false},
      {"CRC record of eleven data bytes", srecord(3, 0xFF100000, pattern(11)), bad_length,
       false},
      {"plug record of sixteen data bytes", srecord(3, 0xFF000000, pattern(16)), "", true},
      {"data record without data bytes", "S1030000FC", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareImage target;
    PlugList list;
    const std::string before = log_text();
    EXPECT_EQ(file.read_record(c.line, 7, &target, &list), c.accepted);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
  }
}

TEST_F(ReaderTest, EveryRefusedTypeDigitIsRefusedAsUnsupported) {
  for (const char type : std::string("46ABCDEF")) {
    SCOPED_TRACE(type);
    const std::string before = log_text();
    std::string line = std::string("S") + type + "0500000000FA";
    EXPECT_FALSE(file.read_record(line, 3, &image, &plugs));
    EXPECT_EQ(log_text().substr(before.size()),
              "ERROR: Line 3: record type invalid or unsupported.\n");
  }
}

TEST_F(ReaderTest, DataRecordsAppendAtTheirAddress) {
  ASSERT_TRUE(file.read_record(srecord(3, 0x7E1800, {1, 2, 3}), 1, &image, &plugs));
  ASSERT_TRUE(file.read_record(srecord(2, 0x7E1803, {4}), 2, &image, &plugs));
  ASSERT_TRUE(file.read_record(srecord(1, 0x0010, {9}), 3, &image, &plugs));
  ASSERT_EQ(image.segment_count(), 2);
  EXPECT_EQ(image.segment(1).address, 0x7E1800u);
  EXPECT_EQ(image.segment(1).length, 4u);
  EXPECT_EQ(image_byte(image, 0x7E1803), 4);
  EXPECT_EQ(image_byte(image, 0x10), 9);
  // The record without data bytes opened nothing.
  ASSERT_TRUE(file.read_record("S1030000FC", 4, &image, &plugs));
  EXPECT_EQ(image.segment_count(), 2);
}

TEST_F(ReaderTest, WithoutImageOrPlugListLinesAreCheckedButNothingIsStored) {
  const std::string lines[] = {
      srecord(3, 0x100, {1, 2}), plug_record(0x101, 0x3F0000, 6),
      crc_record(0x3F0800, 0x10, 1), "S311FF200000050001001500000000000300B1", kEndRecord,
      "S70500001000EA"};
  for (const auto& line : lines) EXPECT_TRUE(file.read_record(line, 1, nullptr, nullptr));
  EXPECT_TRUE(file.primary_identity.present);
  EXPECT_FALSE(file.read_record(srecord(3, 0x00F00000, {1}), 2, nullptr, nullptr));
}

TEST_F(ReaderTest, StartAddressRule) {
  const struct {
    const char* name;
    std::string text;
    std::uint16_t result;
    const char* log;
  } cases[] = {
      {"two end records with the same address", "S70500000000FA\nS70500000000FA\n", 2, ""},
      {"a different second address", "S70500000000FA\nS70500001000EA\n", 0,
       "ERROR: Line 2: 2nd execution address found!\n"},
      {"lines after the end record are read", "S70500001000EA\nS70500001000EA\nS4\n", 0,
       "ERROR: Line 3: record type invalid or unsupported.\n"},
      {"no end record", data_line(), 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.resources.firmware[158] = c.text;
    FirmwareImage target;
    const std::string before = log_text();
    EXPECT_EQ(file.load_resource(158, &target, &plugs), c.result);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
  }
  fake.resources.firmware[158] = "S70500001000EA\n";
  ASSERT_EQ(file.load_resource(158, &image, &plugs), 1);
  EXPECT_TRUE(image.has_start_address);
  EXPECT_EQ(image.start_address, 0x1000u);
  // Without an image differing end records and a missing one are accepted.
  fake.resources.firmware[158] = "S70500000000FA\nS70500001000EA\n";
  EXPECT_EQ(file.load_resource(158, nullptr, nullptr), 2);
  fake.resources.firmware[158] = data_line();
  EXPECT_EQ(file.load_resource(158, nullptr, nullptr), 1);
}

TEST_F(ReaderTest, APlugRecordForATakenAddressReplacesTheEarlierOne) {
  fake.resources.firmware[160] = plug_record(0x101, 0x3F0010, 6) + "\n" +
                                 plug_record(0x003, 0x3F0000, 12) + "\n" +
                                 plug_record(0x102, 0x3F0010, 0x10008) + "\n" + kEndRecord;
  ASSERT_EQ(file.load_resource(160, &image, &plugs), 4);
  plugs.rewind();
  const PlugEntry* first = plugs.next();
  const PlugEntry* second = plugs.next();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(plugs.next(), nullptr);
  EXPECT_EQ(first->code, 0x003u);
  EXPECT_EQ(second->code, 0x102u);
  EXPECT_EQ(second->length, 8);  // the file's 32-bit length cut to 16 bits
}

TEST_F(ReaderTest, LoadingClearsTheInfoRecordsAndTheStartAddressFirst) {
  fake.resources.firmware[158] = std::string("S311FF200000050001001500000000000300B1\n") +
                                 info_record({5, 4, 0x8002, 0, 0, 0}) + "\n" + kEndRecord;
  fake.resources.firmware[160] = kEndRecord;
  ASSERT_EQ(file.load_resource(158, &image, &plugs), 3);
  ASSERT_EQ(file.find_platform(0x8002), 1);
  fake.resources.firmware[160] = data_line();
  EXPECT_EQ(file.load_resource(160, &image, &plugs), 0);
  EXPECT_FALSE(file.primary_identity.present);
  EXPECT_EQ(file.find_platform(0x8002), -1);
  EXPECT_FALSE(image.has_start_address);
}

// load_file: the line counter and the way a file is cut into lines.
TEST_F(ReaderTest, LoadFileCountsLinesAndTheFinalEmptyRead) {
  std::string ten;
  for (int i = 0; i < 9; ++i) ten += srecord(3, 0x100 + 2 * i, {1, 2}) + "\n";
  ten += std::string(kEndRecord) + "\n";
  std::string crlf;
  for (char c : ten) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

  const struct {
    const char* name;
    std::string text;
    std::uint16_t result;
    const char* log;
  } cases[] = {
      {"ten lines ending in a line feed", ten, 11, ""},
      {"carriage return before each line feed", crlf, 11, ""},
      {"last line without line feed", ten.substr(0, ten.size() - 1), 10, ""},
      {"empty lines are counted", "\n\n" + ten + "\n", 14, ""},
      {"line numbers count empty lines", "\n\nS4\n", 0,
       "ERROR: Line 3: record type invalid or unsupported.\n"},
      {"a carriage return not before a line feed stays", "S70500000000FA\r\r\n", 0,
       "Error: Line 1: Bad character found. Cannot process file.\n"},
      {"cut after 519 characters: 520th character starts the next line",
       "S3" + std::string(517, '0') + "Z\n", 0, "ERROR: Line 1: line length invalid.\n"},
      {"the 519th character is still in the line", "S3" + std::string(516, '0') + "Z\n", 0,
       "Error: Line 1: Bad character found. Cannot process file.\n"},
      {"no end record", data_line() + data_line(), 0,
       "Error: Line 3: End reached without an execution address record.\n"},
      {"empty file", "", 0,
       "Error: Line 1: End reached without an execution address record.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write_file("image.hex", c.text);
    FirmwareImage target;
    PlugList list;
    const std::string before = log_text();
    EXPECT_EQ(file.load_file(path, &target, &list), c.result);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
  }
}

TEST_F(ReaderTest, LoadFileWithoutImageNeedsNoEndRecord) {
  const std::string path = write_file("data.hex", data_line() + data_line());
  EXPECT_EQ(file.load_file(path, nullptr, nullptr), 3);
  EXPECT_EQ(log_text(), "");
}

TEST_F(ReaderTest, LoadFileStopsAfterLine32000OnceARecordIsAccepted) {
  // One byte a line at rising addresses, so that the image keeps one segment.
  auto text_with = [](std::uint32_t valid_lines, const std::string& tail) {
    std::string text = std::string(kEndRecord) + "\n";
    for (std::uint32_t i = 1; i < valid_lines; ++i) text += srecord(2, 0x1000 + i, {0xAA}) + "\n";
    return text + tail;
  };
  const struct {
    const char* name;
    std::string text;
    std::uint16_t result;
    const char* log;
  } cases[] = {
      {"bad line 32002 is never read", text_with(32001, "S4\n" + data_line()), 32001, ""},
      {"bad line 32001 is still read", text_with(32000, "S4\n"), 0,
       "ERROR: Line 32001: record type invalid or unsupported.\n"},
      {"empty lines do not stop the reading", text_with(32000, "\n\n\nS4\n"), 0,
       "ERROR: Line 32004: record type invalid or unsupported.\n"},
      {"exactly 32000 lines and the final read", text_with(32000, ""), 32001, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write_file("long.hex", c.text);
    FirmwareImage target;
    const std::string before = log_text();
    EXPECT_EQ(file.load_file(path, &target, nullptr), c.result);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
  }
}

TEST_F(ReaderTest, LoadFileOfAMissingFileOrAFolder) {
  EXPECT_EQ(file.load_file((drive.path() / "absent.hex").string(), &image, &plugs), 0);
  EXPECT_EQ(log_text(), "File not found. ");
  EXPECT_EQ(file.load_file(drive.path().string(), nullptr, nullptr), 0);
  EXPECT_EQ(log_text(), "File not found. File not found. ");
  EXPECT_TRUE(fake.boxes.calls.empty());
}

// load_resource: the text of the fake resources, cut at line feeds.
TEST_F(ReaderTest, LoadResourceCountsItsLines) {
  const std::string data = srecord(3, 0x100, {1, 2}) + "\n";
  const struct {
    const char* name;
    std::string text;
    std::uint16_t result;
    const char* log;
  } cases[] = {
      {"three lines ending in a line feed", data + data + kEndRecord + "\n", 3, ""},
      {"last line without line feed", data + data + kEndRecord, 3, ""},
      {"carriage returns and line feeds", "S70500000000FA\r\n\r\nS70500000000FA\r\n", 3, ""},
      {"a carriage return inside a line is no part of it", "S7050000\r0000FA\n", 1, ""},
      {"cut after 519 characters", "S3" + std::string(517, '0') + "Z\n", 0,
       "ERROR: Line 1: line length invalid.\n"},
      {"missing end record: no message", data + data, 0, ""},
      {"bad line", data + "S705\n", 0, "ERROR: Line 2: line length invalid.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.resources.firmware[163] = c.text;
    FirmwareImage target;
    PlugList list;
    const std::string before = log_text();
    EXPECT_EQ(file.load_resource(163, &target, &list), c.result);
    EXPECT_EQ(log_text().substr(before.size()), c.log);
  }
  EXPECT_TRUE(fake.boxes.calls.empty());
}

TEST_F(ReaderTest, LoadResourceKeepsALargeLineCountNonZero) {
  // 65536 lines would wrap a 16-bit count to 0, which reads as failure.
  fake.resources.firmware[163] = std::string(65535, '\n') + kEndRecord;
  EXPECT_EQ(file.load_resource(163, &image, &plugs), 65535);
}

TEST_F(ReaderTest, MissingResourceShowsItsBoxDirectlyEvenInQuietMode) {
  run_options().quiet = true;
  EXPECT_EQ(file.load_resource(999, &image, &plugs), 0);
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  const BoxCall& box = fake.boxes.calls[0];
  EXPECT_EQ(box.owner, platform::BoxOwner::None);
  EXPECT_EQ(box.text, "Internal Error - Resource could not be loaded.");
  EXPECT_EQ(box.caption, std::optional<std::string>("Firmware Resource Not Found."));
  EXPECT_EQ(box.style, 0u);
  EXPECT_EQ(log_text(), "");
}

TEST_F(ReaderTest, ARefusedAppendShowsTheAllocationBoxAndEndsTheProcess) {
  run_options().quiet = true;
  // 256 data records that each need a segment of their own.
  std::string text;
  for (std::uint32_t k = 0; k < 256; ++k) text += srecord(3, k * 0x10, {0x5A}) + "\n";
  fake.resources.firmware[158] = text + kEndRecord;
  int status = -1;
  try {
    file.load_resource(158, &image, &plugs);
  } catch (const ProcessExit& exit) {
    status = exit.status;
  }
  EXPECT_EQ(status, 1);
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  const BoxCall& box = fake.boxes.calls[0];
  EXPECT_EQ(box.owner, platform::BoxOwner::None);
  EXPECT_EQ(box.text, "Memory allocation error. Cannot continue");
  EXPECT_EQ(box.caption, std::optional<std::string>("Internal Error."));
  EXPECT_EQ(box.style, 0u);
  EXPECT_EQ(log_text(), "");
  EXPECT_EQ(image.segment_count(), 255);
}

TEST_F(ReaderTest, ARefusedMarkerAppendIsNotFatal) {
  std::string text;
  for (std::uint32_t k = 0; k < 255; ++k) text += srecord(3, k * 0x10, {0x5A}) + "\n";
  text += crc_record(0x8000, 4, 1) + "\n";
  fake.resources.firmware[158] = text + kEndRecord;
  EXPECT_EQ(file.load_resource(158, &image, &plugs), 257);
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_FALSE(image.locate(0x7FFE, 0).found);
}

}  // namespace
}  // namespace devov::test
