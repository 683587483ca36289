// The .pda text file: production data records written as hexadecimal
// numbers, with comments, read into PDA words.
#pragma once

#include <cstdint>
#include <string>

namespace devov {

// Digits in one number: four plainly, six when an 'x' prefix stands among
// them (as in 0x12AB or 00x12ab).
inline constexpr int kPdaNumberMaxDigits = 4;
inline constexpr int kPdaPrefixedNumberMaxDigits = 6;

// '0'-'9' give 0-9, 'a'-'f' and 'A'-'F' give 10-15, anything else -1.
int hex_digit_value(char c);

// Reads at most kPdaWords numbers of the file into `words` (room for
// kPdaWords). Answers the number of words read, or 0 if the file cannot be
// opened, is malformed, holds no number, or its last record does not end
// exactly with the last word read.
std::uint16_t read_pda_file(std::uint16_t* words, const std::string& path);

}  // namespace devov
