// How fast the S-record reader turns text into an image and a plug list, in
// bytes of text per second: the embedded station firmware, and an image of
// the largest size the image model holds (204,800 data bytes in S3 records).
//
// srecord_bench --write-max-image FILE writes that largest text to FILE for
// the comparison with other tools (scripts/bench-srec).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "tests/support/null_platform.h"

namespace {

constexpr int kTextId = 1;
constexpr std::uint32_t kMaxImageBytes = 204800;
constexpr std::uint32_t kImageBase = 0x00100000;
constexpr std::uint32_t kBytesPerRecord = 32;

std::string record(char type, std::uint32_t address, const std::uint8_t* data, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string line = {'S', type};
  const std::uint8_t count = static_cast<std::uint8_t>(4 + size + 1);
  unsigned sum = count;
  auto put = [&](std::uint8_t b) {
    line += digits[b >> 4];
    line += digits[b & 0xF];
  };
  put(count);
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto b = static_cast<std::uint8_t>(address >> shift);
    sum += b;
    put(b);
  }
  for (std::size_t i = 0; i < size; ++i) {
    sum += data[i];
    put(data[i]);
  }
  put(static_cast<std::uint8_t>(0xFF - (sum & 0xFF)));
  return line + "\r\n";
}

std::string max_image_text() {
  std::string text;
  std::uint8_t data[kBytesPerRecord];
  std::uint32_t state = 0x6271;
  for (std::uint32_t at = 0; at < kMaxImageBytes; at += kBytesPerRecord) {
    for (auto& b : data) {
      state = state * 1103515245u + 12345u;
      b = static_cast<std::uint8_t>(state >> 16);
    }
    text += record('3', kImageBase + at, data, kBytesPerRecord);
  }
  return text + record('7', 0, nullptr, 0);
}

std::string station_text() {
  std::ifstream in(DEVOV_FIRMWARE_DIR "/SU010503.HEX", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void load(benchmark::State& state, const std::string& text) {
  devov::test::NullPlatform platform;
  platform.firmware[kTextId] = text;
  for (auto _ : state) {
    devov::FirmwareFile file;
    devov::FirmwareImage image;
    devov::PlugList plugs;
    auto lines = file.load_resource(kTextId, &image, &plugs);
    benchmark::DoNotOptimize(lines);
    if (lines == 0) state.SkipWithError("the text did not load");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_LoadStationFirmware(benchmark::State& state) { load(state, station_text()); }
void BM_LoadLargestImage(benchmark::State& state) { load(state, max_image_text()); }

BENCHMARK(BM_LoadStationFirmware)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLargestImage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && !std::strcmp(argv[1], "--write-max-image")) {
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << max_image_text();
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
