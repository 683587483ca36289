// 6271devov-tool inspect FILE...: what the program's own readers make of
// firmware files (.hex, or res:ID for an embedded text) and .pda files.
#include <cctype>
#include <cstdio>
#include <memory>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "platform/platform.h"
#include "production/pda_file.h"
#include "production/pda_list.h"
#include "shell/flash_log.h"
#include "tools/devov_tool/command.h"
#include "tools/devov_tool/tool_platform.h"

namespace devov::tool {
namespace {

constexpr const char* kResourcePrefix = "res:";

std::string hex(std::uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*x", digits, value);
  return buffer;
}

bool ends_with_pda(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (auto& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".pda";
}

void print_log(const std::string& log) {
  if (log.empty()) return;
  std::printf("  log:\n");
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) std::printf("    %s\n", line.c_str());
}

bool inspect_firmware(const std::string& name) {
  FirmwareFile file;
  FirmwareImage image;
  PlugList plugs;
  std::string log;
  std::uint16_t lines = 0;
  flash_log().capture(&log);
  if (name.rfind(kResourcePrefix, 0) == 0) {
    const int id = std::atoi(name.c_str() + 4);
    lines = file.load_resource(id, &image, &plugs);
  } else {
    lines = file.load_file(name, &image, &plugs);
  }
  flash_log().capture(nullptr);

  if (lines == 0) {
    std::printf("%s: firmware, load failed\n", name.c_str());
    print_log(log);
    return false;
  }
  std::printf("%s: firmware, %u lines\n", name.c_str(), lines);
  print_log(log);
  for (const auto* identity : {&file.primary_identity, &file.station_identity}) {
    const char* what = identity == &file.primary_identity ? "primary" : "station";
    if (identity->present)
      std::printf("  %s: %s (component %u)\n", what, identity->to_text().c_str(),
                  identity->component_id);
    else
      std::printf("  %s: none\n", what);
  }
  std::string compatibility = file.compatibility_text();
  std::printf("  compatibility:");
  std::istringstream listing(compatibility.substr(compatibility.find(':') + 1));
  std::string entry;
  std::printf("\n");
  while (std::getline(listing, entry))
    if (!entry.empty()) std::printf("%s\n", entry.c_str());

  // Build sequences are logged as they are read, not kept.
  std::vector<std::string> sequences;
  constexpr std::string_view kSequence = "Build sequence: ";
  for (std::size_t at = log.find(kSequence); at != std::string::npos;
       at = log.find(kSequence, at + 1)) {
    auto end = log.find('\n', at);
    sequences.push_back(log.substr(at + kSequence.size(), end - at - kSequence.size()));
  }
  std::printf("  build sequence:");
  if (sequences.empty()) std::printf(" none");
  for (const auto& s : sequences) std::printf(" %s", s.c_str());
  std::printf("\n  platforms:");
  if (!file.platforms[0].present) std::printf(" none");
  for (const auto& p : file.platforms)
    if (p.present) std::printf(" %x", p.platform_id);
  std::printf("\n  segments: %u\n", image.segment_count());
  for (std::uint16_t s = 1; s <= image.segment_count(); ++s)
    std::printf("    %s  %u bytes\n", hex(image.segment(s).address, 8).c_str(),
                image.segment(s).length);
  std::printf("  start address: %s\n", hex(image.start_address, 8).c_str());
  int plug_count = 0;
  for (auto* p = plugs.head(); p; p = p->next) ++plug_count;
  std::printf("  plugs: %d\n", plug_count);
  for (auto* p = plugs.head(); p; p = p->next) {
    std::string what = p->code == kFileNamePlugCode ? "file name" : "PDR " + hex(p->code, 4);
    std::printf("    %s  %u bytes  %s\n", hex(p->address, 8).c_str(), p->length, what.c_str());
  }
  std::printf("  crc records: %zu\n", file.crc_areas.size());
  for (const auto& r : file.crc_areas) {
    const std::uint32_t start = r.start;
    std::printf("    area %s length %u", hex(start, 8).c_str(), r.length);
    if (!r.marker) {
      std::printf("  no marker\n");
      continue;
    }
    std::uint8_t marker[2] = {0, 0};
    bool held = true;
    for (int i = 0; i < 2; ++i) {
      auto at = image.locate(start - 2 + static_cast<std::uint32_t>(i), 0);
      if (!at.found || !image.page(at.page)) held = false;
      else marker[i] = image.page(at.page)[at.page_offset];
    }
    if (held) std::printf("  marker at %s: %02x %02x\n", hex(start - 2, 8).c_str(), marker[0], marker[1]);
    else std::printf("  marker at %s: not in the image\n", hex(start - 2, 8).c_str());
  }
  return true;
}

bool inspect_pda(const std::string& path) {
  std::vector<std::uint16_t> words(kPdaWords);
  const std::uint16_t count = read_pda_file(words.data(), path);
  if (count == 0) {
    std::printf("%s: production data, not readable or not valid\n", path.c_str());
    return false;
  }
  std::string log;
  PdaList list;
  flash_log().capture(&log);
  const int records = list.load_words(words.data(), count);
  flash_log().capture(nullptr);
  std::printf("%s: production data, %u words, %d records processed\n", path.c_str(), count,
              records);
  print_log(log);
  bool end_seen = false;
  for (std::uint16_t i = 0; i < count;) {
    const std::uint16_t length = words[i];
    if (length == 0 || i + length >= count + 0u) break;
    const std::uint16_t code = words[i + 1];
    if (length == kEndRecordLength && code == kEndRecordCode) {
      end_seen = true;
      std::printf("  end record: crc %s\n", hex(words[i + 2], 4).c_str());
      break;
    }
    std::printf("  %s L=%u%s", hex(code, 4).c_str(), length,
                length == kDeleteRecordLength ? "  delete" : "");
    for (std::uint16_t k = 2; k <= length; ++k) std::printf(" %04x", words[i + k]);
    std::printf("\n");
    i = static_cast<std::uint16_t>(i + length + 1);
  }
  if (!end_seen) {
    std::printf("  no end record\n");
  } else if (list.received_crc() == list.stored_crc()) {
    std::printf("  crc checks: %s\n", hex(list.received_crc(), 4).c_str());
  } else {
    std::printf("  crc does not check: computed %s\n", hex(list.received_crc(), 4).c_str());
  }
  return records > 0;
}

int run_inspect(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    std::fprintf(stderr, "usage: 6271devov-tool inspect FILE...\n");
    return 2;
  }
  ToolPlatform platform;
  bool all_loaded = true;
  for (const auto& name : arguments) {
    bool loaded = ends_with_pda(name) ? inspect_pda(name) : inspect_firmware(name);
    all_loaded = all_loaded && loaded;
  }
  std::fflush(stdout);
  return all_loaded ? 0 : 1;
}

}  // namespace

std::vector<Command> inspect_commands() {
  return {{"inspect", "FILE... (or res:ID)  what the readers make of firmware and .pda files",
           run_inspect}};
}

}  // namespace devov::tool
