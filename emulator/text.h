// Small text helpers shared by the emulator's readers and writers.
#pragma once

#include <cstdint>
#include <string>

namespace devov::emulator {

// The text without leading and trailing blanks, tabs and line ends.
std::string trim(const std::string& text);

// "0x" and the value in upper-case hexadecimal, at least `digits` digits.
std::string hex_text(std::uint32_t value, int digits);

}  // namespace devov::emulator
