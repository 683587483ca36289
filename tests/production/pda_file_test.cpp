// The .pda reader: numbers, prefixes, comments, separators, the record
// structure the words must form, and the 512-word limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "production/pda_file.h"
#include "production/pda_list.h"
#include "tests/production/pda_records.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

TEST(HexDigitValue, AcceptsBothCasesAndNothingElse) {
  const struct {
    char c;
    int value;
  } cases[] = {{'0', 0},  {'9', 9},  {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15},
               {'g', -1}, {'G', -1}, {'/', -1}, {':', -1}, {'@', -1}, {'`', -1},
               {'x', -1}, {'\0', -1}, {'\xE9', -1}};
  for (const auto& c : cases)
    EXPECT_EQ(hex_digit_value(c.c), c.value) << "character " << int(c.c);
}

// `count` numbers: a record of length `first` and then one-digit filler.
std::string numbers(int count, int first) {
  char head[8];
  std::snprintf(head, sizeof head, "%x", static_cast<unsigned>(first));
  std::string text = head;
  for (int k = 1; k < count; ++k) text += " " + std::to_string(k % 10);
  return text + "\n";
}

Words number_words(int count, int first) {
  Words w{static_cast<std::uint16_t>(first)};
  for (int k = 1; k < count; ++k) w.push_back(static_cast<std::uint16_t>(k % 10));
  return w;
}

struct FileCase {
  std::string name;
  std::string text;
  Words words;  // empty: the file is refused (0)
};

std::vector<FileCase> file_cases() {
  return {
      {"record with a comment", "3 8 1234 1 ; component\n", {3, 8, 0x1234, 1}},
      {"record lacking a word", "3 8 1234", {}},
      {"two records, no final line end", "1 5\n2 6 7", {1, 5, 2, 6, 7}},
      {"commas and tabs separate", "1,5\t2 ,6,,7\n", {1, 5, 2, 6, 7}},
      {"carriage returns separate", "1 5\r\n2 6 7\r\n", {1, 5, 2, 6, 7}},
      {"upper case digits", "1 ABCD\n", {1, 0xABCD}},
      {"four digits", "1 1234", {1, 0x1234}},
      {"fifth digit without prefix", "1 12345", {}},
      {"fifth digit from a leading zero", "1 01234", {}},
      {"prefix takes six digits, high ones shift out", "1 0x12345", {1, 0x2345}},
      {"prefix after two zeros", "1 00x12ab", {1, 0x12AB}},
      {"upper case prefix", "1 0X12AB", {1, 0x12AB}},
      {"seventh digit with prefix", "1 0x123456", {}},
      {"x after a nonzero digit", "1 1x2", {}},
      {"x with no digit before it", "1 x12", {}},
      {"letter glued to a digit", "1g", {}},
      {"high byte glued to a digit", "1 5\xE9", {}},
      {"comment line adds nothing", "# comment 12 34\n1 5\n", {1, 5}},
      {"only a comment", "# comment 12 34", {}},
      {"semicolon ends the number and the line", "2 6 7;8\n", {2, 6, 7}},
      {"hash ends the number", "1 5#x 7\n", {1, 5}},
      {"word after a separator starts a comment", "1 5 garbage 7\n", {1, 5}},
      {"high byte after a separator starts a comment", "1 5 \xE9 7\n2 8 9", {1, 5, 2, 8, 9}},
      {"comment runs to the line end only", "1 5 ; 12 34\n2 6 7\n", {1, 5, 2, 6, 7}},
      {"empty file", "", {}},
      {"delete and end records are words like any", "1 3\n2 0 abcd\n", {1, 3, 2, 0, 0xABCD}},
      {"zero length word is a one-word record here", "0 1 5", {0, 1, 5}},
      {"600 numbers, a record ends at the 512th", numbers(600, 511), number_words(512, 511)},
      {"600 numbers, the record runs past the 512th", numbers(600, 512), {}},
      {"600 numbers, records end at the 511th", numbers(600, 510), {}},
  };
}

TEST(ReadPdaFile, TakesWholeRecordsOfWellFormedNumbers) {
  TempFolder folder;
  for (const FileCase& c : file_cases()) {
    SCOPED_TRACE(c.name);
    const std::string path = (folder.path() / "case.pda").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;

    std::vector<std::uint16_t> buffer(kPdaWords, 0x7777);
    const std::uint16_t count = read_pda_file(buffer.data(), path);
    ASSERT_EQ(count, c.words.size());
    EXPECT_EQ(Words(buffer.begin(), buffer.begin() + count), c.words);
  }
}

TEST(ReadPdaFile, MissingFileGivesNothing) {
  TempFolder folder;
  std::vector<std::uint16_t> buffer(kPdaWords, 0x7777);
  EXPECT_EQ(read_pda_file(buffer.data(), (folder.path() / "absent.pda").string()), 0);
}

}  // namespace
}  // namespace devov::test
