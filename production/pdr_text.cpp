// PDR words to and from the texts of the main dialog and the edit dialog.
#include "production/pdr_text.h"

#include "production/pda_file.h"

namespace devov {
namespace {

constexpr unsigned char kLastAsciiByte = 0x7F;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7E;

}  // namespace

int parse_mac_text(std::uint16_t* words, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.size() < kMacDigits) return 0;
  if (static_cast<unsigned char>(text[0]) > kLastAsciiByte) return 0;

  int digits[kMacDigits];
  std::size_t held = 0;
  for (std::size_t i = 0; i < text.size() && held < kMacDigits; ++i) {
    if (static_cast<unsigned char>(text[i]) > kLastAsciiByte) break;
    const int value = hex_digit_value(text[i]);
    if (value >= 0) digits[held++] = value;
  }
  if (held < kMacDigits) return 0;

  for (std::size_t k = 0; k < kMacWords; ++k) {
    const int low = 16 * digits[4 * k] + digits[4 * k + 1];
    const int high = 16 * digits[4 * k + 2] + digits[4 * k + 3];
    words[k] = static_cast<std::uint16_t>(low + 256 * high);
  }
  return 1;
}

int format_mac_text(char* text, const std::uint16_t* words) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::size_t out = 0;
  for (std::size_t octet = 0; octet < 2 * kMacWords; ++octet) {
    const unsigned byte = (words[octet / 2] >> (8 * (octet % 2))) & 0xFFu;
    if (octet > 0) text[out++] = '-';
    text[out++] = kDigits[byte >> 4];
    text[out++] = kDigits[byte & 0xFu];
  }
  text[out] = '\0';
  return 1;
}

int text_to_words(std::uint16_t* words, const char* text) {
  if (!text) return 0;
  // Never looks further than the twelve characters a record takes.
  std::size_t length = 0;
  while (length < kTextMaxChars && text[length] != '\0') ++length;
  auto byte_at = [&](std::size_t i) -> unsigned {
    return i < length ? static_cast<unsigned char>(text[i]) : 0u;
  };
  for (std::size_t i = 0; i < kTextMaxChars; i += 2)
    words[i / 2] = static_cast<std::uint16_t>(
        i < length ? byte_at(i) + 256u * byte_at(i + 1) : 0u);
  return 1;
}

void words_to_text(char* text, const std::uint16_t* words, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    text[2 * i] = static_cast<char>(words[i] & 0xFFu);
    text[2 * i + 1] = static_cast<char>(words[i] >> 8);
  }
  text[2 * count] = '\0';
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < kFirstPrintable || byte > kLastPrintable) text[i] = ' ';
  }
}

}  // namespace devov
