// What the firmware tests share: S-record lines built with a correct count
// and checksum, and a fixture with a file, an image and a plug list over the
// fake platform with the log in a temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {

// "S<type>", the count, the address in the type's number of digits, the data
// and the checksum, in upper case.
std::string srecord(int type, std::uint32_t address, const std::vector<std::uint8_t>& data);

// The data bytes of an info record: each word least significant byte first.
std::vector<std::uint8_t> info_bytes(const std::vector<std::uint16_t>& words);

// An S3 record in the info range carrying those words.
std::string info_record(const std::vector<std::uint16_t>& words);

// A plug record and a CRC record with their three values.
std::string plug_record(std::uint32_t code, std::uint32_t address, std::uint32_t length);
std::string crc_record(std::uint32_t start, std::uint32_t length, std::uint32_t marker);

// Bytes 0, 1, 2, ... (mod 256) plus `seed`.
std::vector<std::uint8_t> pattern(std::size_t count, std::uint8_t seed = 0);

// The copy of `address` in segment `segment` (0: the first that holds it);
// -1 when no such segment holds it.
int image_byte(const FirmwareImage& image, std::uint32_t address, std::uint16_t segment = 0);

class FirmwareTest : public ShellTest {
 protected:
  // Writes the bytes as they stand to a file in the test's folder.
  std::string write_file(const std::string& name, const std::string& bytes);
  // Appends and expects success.
  void put(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

  FirmwareFile file;
  FirmwareImage image;
  PlugList plugs;
};

}  // namespace devov::test
