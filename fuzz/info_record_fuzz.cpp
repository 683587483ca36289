// Fuzz target: the info-record decoder on raw record bytes, then the
// listings and searches over what it kept.
#include <cstdint>
#include <vector>

#include "firmware/firmware_file.h"
#include "tests/support/null_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  devov::test::NullPlatform platform;
  devov::FirmwareFile file;
  // A copy of exactly the input's size, so that reading past the record is
  // caught.
  std::vector<std::uint8_t> record(data, data + size);
  file.decode_info_record(record.data(), record.size(), 1);
  (void)file.compatibility_text();
  (void)file.find_platform(0xE6B2);
  (void)file.fits_range(1, 4);
  (void)file.primary_identity.to_text();
  return 0;
}
