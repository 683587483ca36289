// Under Windows, each embedded firmware text is found by its id among the
// executable's FIRMWARE resources and loads with the program's reader:
// as many lines as the text has, the identity the catalogue expects.
#include <cstdio>
#include <string>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "platform/win32/resources.h"
#include "resources/resource_ids.h"
#include "tests/support/null_platform.h"

namespace {

struct Expected {
  int id;
  bool station;
  const char* version;
};

constexpr Expected kTexts[] = {
    {IDR_FIRMWARE_PO, false, "1.1.3"},
    {IDR_FIRMWARE_PU, false, "1.1.3"},
    {IDR_FIRMWARE_SU, true, "1.5.3"},
};

}  // namespace

int main() {
  devov::win32::Win32Resources resources;
  devov::test::NullPlatform platform;
  int failures = 0;
  for (const auto& expected : kTexts) {
    auto text = resources.firmware_text(expected.id);
    if (!text) {
      std::printf("%d: not found\n", expected.id);
      ++failures;
      continue;
    }
    platform.firmware[expected.id] = std::string(*text);
    std::size_t lines = 0;
    for (char c : *text) lines += c == '\n';
    devov::FirmwareFile file;
    devov::FirmwareImage image;
    devov::PlugList plugs;
    const unsigned loaded = file.load_resource(expected.id, &image, &plugs);
    const auto& identity = expected.station ? file.station_identity : file.primary_identity;
    const bool ok = loaded == lines && identity.present && identity.to_text() == expected.version &&
                    image.segment_count() > 0;
    std::printf("%d: %zu bytes, %u lines of %zu, %s %s: %s\n", expected.id, text->size(), loaded,
                lines, expected.station ? "station" : "primary", identity.to_text().c_str(),
                ok ? "ok" : "WRONG");
    failures += !ok;
  }
  // An id that the program does not carry is not found.
  if (resources.firmware_text(IDR_FIRMWARE_PO + 1)) {
    std::printf("%d: found, but the program carries no such text\n", IDR_FIRMWARE_PO + 1);
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
