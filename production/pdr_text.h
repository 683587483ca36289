// Conversions between PDR words and the texts shown to the user: the MAC
// address and the text records (part number, serial number).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace devov {

// A MAC address: six octets in three words, the first octet in the low byte
// of word 0; as text, twelve hexadecimal digits.
inline constexpr std::size_t kMacWords = 3;
inline constexpr std::size_t kMacDigits = 12;
// "xx-xx-xx-xx-xx-xx" and its terminating zero.
inline constexpr std::size_t kMacTextSize = 18;
// A text written into a record: at most 12 characters in 6 words.
inline constexpr std::size_t kTextWords = 6;
inline constexpr std::size_t kTextMaxChars = 12;

// Collects 12 hexadecimal digits from `text` (which ends at its end or at a
// zero byte), skipping any other character, into kMacWords words. Answers 1,
// or 0, leaving `words` untouched, if the text is shorter than 12
// characters, starts with a byte above 0x7F, or yields fewer than 12 digits
// before it ends or a byte above 0x7F comes.
int parse_mac_text(std::uint16_t* words, std::string_view text);

// Writes the six octets as lower-case digit pairs joined by '-' into
// kMacTextSize characters, terminating zero included. Answers 1.
int format_mac_text(char* text, const std::uint16_t* words);

// Packs at most 12 characters of `text`, two to a word, low byte first, into
// kTextWords words, zero-filled after the text. Answers 0 for no text
// (nullptr), leaving `words` untouched, else 1.
int text_to_words(std::uint16_t* words, const char* text);

// Copies the 2 x `count` bytes of `words` into `text` (room for 2 x `count`
// + 1), ends them with a zero, and turns every byte before the first zero
// that is not printable ASCII into a space.
void words_to_text(char* text, const std::uint16_t* words, std::size_t count);

}  // namespace devov
