// The firmware tests' helpers.
#include "tests/firmware/firmware_test_support.h"

#include <cstdio>
#include <fstream>

namespace devov::test {

std::string srecord(int type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
  static constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 0, 4, 3, 2};
  std::vector<std::uint8_t> bytes;
  for (int i = kAddressBytes[type] - 1; i >= 0; --i)
    bytes.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
  bytes.insert(bytes.end(), data.begin(), data.end());
  const auto count = static_cast<std::uint8_t>(bytes.size() + 1);
  unsigned sum = count;
  for (std::uint8_t b : bytes) sum += b;
  bytes.insert(bytes.begin(), count);
  bytes.push_back(static_cast<std::uint8_t>(0xFF - (sum & 0xFF)));

  std::string line = "S" + std::to_string(type);
  char digits[3];
  for (std::uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    line += digits;
  }
  return line;
}

std::vector<std::uint8_t> info_bytes(const std::vector<std::uint16_t>& words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t w : words) {
    bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  return bytes;
}

std::string info_record(const std::vector<std::uint16_t>& words) {
  return srecord(3, 0xFF200000, info_bytes(words));
}

namespace {

std::vector<std::uint8_t> three_values(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t v : {a, b, c})
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return bytes;
}

}  // namespace

std::string plug_record(std::uint32_t code, std::uint32_t address, std::uint32_t length) {
  return srecord(3, 0xFF000000, three_values(code, address, length));
}

std::string crc_record(std::uint32_t start, std::uint32_t length, std::uint32_t marker) {
  return srecord(3, 0xFF100000, three_values(start, length, marker));
}

std::vector<std::uint8_t> pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i + seed);
  return bytes;
}

int image_byte(const FirmwareImage& image, std::uint32_t address, std::uint16_t segment) {
  const ImageLocation at = image.locate(address, segment);
  if (!at.found) return -1;
  return image.page(at.page)[at.page_offset];
}

std::string FirmwareTest::write_file(const std::string& name, const std::string& bytes) {
  const std::filesystem::path path = drive.path() / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

void FirmwareTest::put(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  ASSERT_TRUE(image.append(bytes.data(), address, static_cast<std::uint16_t>(bytes.size())));
}

}  // namespace devov::test
