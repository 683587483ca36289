// The end-to-end fixture.
#include "tests/adapter/end_to_end_fixture.h"

#include <fstream>
#include <iterator>
#include <regex>

#include "emulator/host_config.h"

namespace devov::test {
namespace {

std::optional<std::uint32_t> field(const std::string& line, const std::string& name) {
  const std::regex pattern(" " + name + "=(0x[0-9A-Fa-f]+|[0-9]+)");
  std::smatch match;
  if (!std::regex_search(line, match, pattern)) return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(match[1].str(), nullptr, 0));
}

}  // namespace

EndToEnd::EndToEnd() = default;

EndToEnd::~EndToEnd() = default;

void EndToEnd::make_host(const std::string& os_family, std::uint32_t os_major) {
  emulator::HostOptions options;
  options.os_family = os_family;
  options.os_major = os_major;
  options.default_adapter = false;
  std::string error;
  ASSERT_TRUE(emulator::make_host(host.path().string(), options, error)) << error;
}

void EndToEnd::add(const std::string& name, emulator::AdapterDescription description,
                   const emulator::ProductionData& data) {
  std::string error;
  ASSERT_TRUE(emulator::add_adapter(host.path().string(), name, std::move(description), data,
                                    error))
      << error;
}

void EndToEnd::start() {
  const std::string folder = host.path().string();
  ASSERT_TRUE(emulator::load_host_registry(folder, fake.registry));
  library = std::make_unique<emulator::EmulatedLibrary>(emulator::read_host_config(folder),
                                                        folder, fake.registry);
  services.emplace(platform::Services{fake.boxes, fake.clock, fake.system, fake.process,
                                      fake.resources, fake.link, fake.drive_c, *library,
                                      fake.dialogs, fake.registry_calls, fake.events,
                                      fake.progress});
  platform::install(*services);
  dialog.on_init(view);
  fake.boxes.calls.clear();
  log_mark_ = log_text().size();
}

std::vector<TraceLine> EndToEnd::trace(const std::string& name) const {
  std::ifstream in(emulator::adapter_folder(host.path().string(), name) + "/" +
                   emulator::kTraceFileName);
  std::vector<TraceLine> lines;
  std::string text;
  while (std::getline(in, text)) {
    TraceLine line;
    line.text = text;
    line.kind = text.substr(0, text.find(' '));
    if (line.kind == "request") {
      line.type = text.substr(8, text.find(' ', 8) - 8);
      line.oid = field(text, "oid").value_or(0);
      line.length = field(text, "len").value_or(0);
      line.address = field(text, "addr");
      line.n = field(text, "n");
      line.status = field(text, "status").value_or(0);
      line.faulted = text.find(" fault=") != std::string::npos;
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<TraceLine> EndToEnd::requests(const std::string& name, std::uint32_t oid) const {
  std::vector<TraceLine> found;
  for (const auto& line : trace(name))
    if (line.kind == "request" && line.oid == oid) found.push_back(line);
  return found;
}

std::vector<TraceLine> EndToEnd::block_writes(const std::string& name) const {
  std::vector<TraceLine> found;
  for (const auto& line : requests(name, 0xFF01018C))
    if (line.n.value_or(0) != 0) found.push_back(line);
  return found;
}

std::vector<std::uint8_t> EndToEnd::flash(const std::string& name) const {
  std::ifstream in(emulator::adapter_folder(host.path().string(), name) + "/" +
                       emulator::kFlashFileName,
                   std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void EndToEnd::clear_trace(const std::string& name) const {
  std::ofstream(emulator::adapter_folder(host.path().string(), name) + "/" +
                    emulator::kTraceFileName,
                std::ios::trunc);
}

}  // namespace devov::test
