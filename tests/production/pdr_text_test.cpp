// The MAC address texts and the text records, both ways.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "production/pdr_text.h"

namespace devov::test {
namespace {

using Mac = std::array<std::uint16_t, kMacWords>;

TEST(FormatMacText, WritesOctetsLowByteFirstInLowerCase) {
  const Mac words{0x9000, 0x124B, 0x5634};
  char text[kMacTextSize + 1];
  std::fill(std::begin(text), std::end(text), '*');
  EXPECT_EQ(format_mac_text(text, words.data()), 1);
  EXPECT_EQ(std::string(text), "00-90-4b-12-34-56");
  EXPECT_EQ(text[kMacTextSize], '*') << "17 characters and the zero, no more";
}

TEST(ParseMacText, CollectsTwelveDigitsWhateverSeparatesThem) {
  const Mac untouched{0x7777, 0x7777, 0x7777};
  const struct {
    const char* name;
    std::string_view text;
    int result;
    Mac words;
  } cases[] = {
      {"dashes", "00-90-4b-12-34-56", 1, {0x9000, 0x124B, 0x5634}},
      {"colons, upper case", "00:90:4B:12:34:56", 1, {0x9000, 0x124B, 0x5634}},
      {"bare digits", "00904b123456", 1, {0x9000, 0x124B, 0x5634}},
      {"anything after the twelfth digit", "00904b123456 zz\xE9", 1, {0x9000, 0x124B, 0x5634}},
      {"all zeros", "00-00-00-00-00-00", 1, {0, 0, 0}},
      {"every digit its place", "0123456789ab", 1, {0x2301, 0x6745, 0xAB89}},
      {"eleven digits", "00-90-4b-12-34-5", 0, untouched},
      {"shorter than twelve characters", "00904b12345", 0, untouched},
      {"twelve characters, ten digits", "0090:4b12:34", 0, untouched},
      {"starts above 0x7F", "\xE9" "00904b123456", 0, untouched},
      {"a byte above 0x7F stops the digits", "00904b\xE9" "123456", 0, untouched},
      {"the text ends at a zero byte",
       std::string_view("00904b\0" "123456", 13), 0, untouched},
      {"empty", "", 0, untouched},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Mac words = untouched;
    EXPECT_EQ(parse_mac_text(words.data(), c.text), c.result);
    EXPECT_EQ(words, c.words);
  }
}

TEST(ParseMacText, ReadsBackWhatFormatWrote) {
  for (const Mac& words : {Mac{0x9000, 0x124B, 0x5634}, Mac{0xFFFF, 0x0102, 0xA0B0}}) {
    char text[kMacTextSize];
    format_mac_text(text, words.data());
    Mac parsed{};
    EXPECT_EQ(parse_mac_text(parsed.data(), text), 1);
    EXPECT_EQ(parsed, words) << text;
  }
}

TEST(TextToWords, PacksTwelveCharactersTwoToAWord) {
  using Text = std::array<std::uint16_t, kTextWords>;
  const struct {
    const char* text;
    Text words;
  } cases[] = {
      {"ABC", {0x4241, 0x0043, 0, 0, 0, 0}},
      {"AB", {0x4241, 0, 0, 0, 0, 0}},
      {"", {0, 0, 0, 0, 0, 0}},
      {"ABCDEFGHIJK", {0x4241, 0x4443, 0x4645, 0x4847, 0x4A49, 0x004B}},
      {"ABCDEFGHIJKL", {0x4241, 0x4443, 0x4645, 0x4847, 0x4A49, 0x4C4B}},
      {"ABCDEFGHIJKLMN", {0x4241, 0x4443, 0x4645, 0x4847, 0x4A49, 0x4C4B}},
  };
  for (const auto& c : cases) {
    Text words;
    words.fill(0x7777);
    EXPECT_EQ(text_to_words(words.data(), c.text), 1) << c.text;
    EXPECT_EQ(words, c.words) << c.text;
  }

  Text words;
  words.fill(0x7777);
  EXPECT_EQ(text_to_words(words.data(), nullptr), 0);
  EXPECT_EQ(words[0], 0x7777) << "no text, nothing written";
}

TEST(WordsToText, TurnsUnprintableBytesBeforeTheFirstZeroIntoSpaces) {
  const struct {
    const char* name;
    std::array<std::uint16_t, 4> words;
    std::size_t count;
    std::string text;  // up to and including the final zero
  } cases[] = {
      {"printable", {0x4241, 0x4443}, 2, std::string("ABCD\0", 5)},
      {"control, delete and high bytes",
       {0x0141, 0x7F42, 0x80FF, 0x7E20}, 4, std::string("A B    ~\0", 9)},
      {"bytes after the first zero stay",
       {0x4241, 0x0100, 0x0243, 0}, 3, std::string("AB\0\x01" "C\x02\0", 7)},
      {"no words", {}, 0, std::string("\0", 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    char text[2 * 4 + 2];
    std::fill(std::begin(text), std::end(text), '*');
    words_to_text(text, c.words.data(), c.count);
    EXPECT_EQ(std::string(text, 2 * c.count + 1), c.text);
    EXPECT_EQ(text[2 * c.count + 1], '*');
  }
}

}  // namespace
}  // namespace devov::test
