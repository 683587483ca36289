// Fuzz target: an S-record text loaded as an embedded firmware text into an
// image and a plug list, then walked, counted and plugged as a programming
// request would. The walk must hand out exactly as many chunks as
// count_chunks says, none longer than the limit or across the boundary.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "firmware/plugging.h"
#include "production/pda_list.h"
#include "tests/support/null_platform.h"

namespace {

constexpr int kTextId = 163;
constexpr std::uint16_t kMaxChunk = 2042;
constexpr std::uint32_t kBoundary = 0x10000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  devov::test::NullPlatform platform;
  platform.firmware[kTextId].assign(reinterpret_cast<const char*>(data), size);
  devov::FirmwareFile file;
  devov::FirmwareImage image;
  devov::PlugList plugs;
  try {
    if (file.load_resource(kTextId, &image, &plugs) == 0) return 0;
  } catch (const devov::test::NullPlatform::Exit&) {
    return 0;  // the fatal allocation exit
  }
  devov::PdaList pda;
  const std::uint16_t mac[] = {4, 0x0101, 0x1100, 0x3322, 0x5544};
  pda.put(mac);
  devov::plug_image(image, plugs, pda, "C:\\fw\\FUZZ.HEX");

  const std::uint16_t expected = image.count_chunks(kMaxChunk, kBoundary);
  std::uint16_t chunks = 0;
  std::uint8_t buffer[kMaxChunk];
  std::uint32_t address = 0;
  std::uint16_t length = 0;
  image.rewind();
  while (image.next_chunk(buffer, address, length, kMaxChunk, kBoundary)) {
    if (length == 0 || length > kMaxChunk) std::abort();
    const std::uint64_t last = std::uint64_t{address} + length - 1;
    if (last / kBoundary != address / kBoundary) std::abort();
    ++chunks;
  }
  if (chunks != expected) std::abort();
  (void)file.compatibility_text();
  return 0;
}
