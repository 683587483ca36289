// 6271devov-tool host ... and adapter ...: make virtual hosts and adapters,
// change an adapter's description, and look into an adapter's state and
// trace.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/adapter_description.h"
#include "emulator/text.h"
#include "emulator/adapter_memory.h"
#include "emulator/host_config.h"
#include "emulator/registry_file.h"
#include "emulator/virtual_host.h"
#include "production/pda_list.h"
#include "tools/devov_tool/command.h"
#include "tools/devov_tool/tool_platform.h"

namespace devov::tool {
namespace {

using namespace devov::emulator;

// Runs of erased bytes shorter than this do not split a flash region.
constexpr std::size_t kRegionGap = 16;
// Data words shown of a record without a known meaning.
constexpr std::uint16_t kShownWords = 8;

constexpr std::uint16_t kPdrPartNumber = 0x0001;
constexpr std::uint16_t kPdrSerialNumber = 0x0003;
constexpr std::uint16_t kPdrComponentIdentity = 0x0008;
constexpr std::uint16_t kPdrMacAddress = 0x0101;
constexpr std::uint16_t kPdrRegulatoryDomains = 0x0103;

int fail(const std::string& what) {
  std::fprintf(stderr, "6271devov-tool: %s\n", what.c_str());
  return 1;
}

bool split_key_value(const std::string& argument, std::string& key, std::string& value) {
  auto equals = argument.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  key = argument.substr(0, equals);
  value = argument.substr(equals + 1);
  return true;
}

// The production keys of "adapter add": what goes into the new PDA.
bool set_production_key(ProductionData& data, const std::string& key, const std::string& value,
                        bool& handled, std::string& error) {
  handled = true;
  char* end = nullptr;
  if (key == "pda_mac") {
    AdapterDescription scratch;
    if (!set_description_key(scratch, "mac_address", value, error)) return false;
    data.mac_address = scratch.mac_address;
  } else if (key == "serial_number") {
    if (value.size() > 12) return error = "serial_number: at most 12 characters", false;
    data.serial_number = value;
  } else if (key == "part_number") {
    if (value.size() > 24) return error = "part_number: at most 24 characters", false;
    data.part_number = value;
  } else if (key == "platform_id") {
    unsigned long id = std::strtoul(value.c_str(), &end, 0);
    if (value.empty() || *end || id > 0xFFFF) return error = "platform_id: bad value", false;
    data.platform_id = static_cast<std::uint16_t>(id);
  } else if (key == "regulatory_domain") {
    unsigned long domain = std::strtoul(value.c_str(), &end, 0);
    if (value.empty() || *end || domain > 0xFF)
      return error = "regulatory_domain: bad value", false;
    data.regulatory_domain = static_cast<std::uint8_t>(domain);
  } else if (key == "setpoint_tables") {
    if (value != "yes" && value != "no") return error = "setpoint_tables: yes or no", false;
    data.setpoint_tables = value == "yes";
  } else {
    handled = false;
  }
  return true;
}

int host_new(const std::vector<std::string>& args) {
  HostOptions options;
  std::string folder;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--os" && i + 1 < args.size()) {
      const std::string os = args[++i];
      if (os == "nt5") options.os_family = "nt", options.os_major = 5, options.os_minor = 1;
      else if (os == "nt4") options.os_family = "nt", options.os_major = 4, options.os_minor = 0;
      else if (os == "9x") options.os_family = "9x", options.os_major = 4, options.os_minor = 10;
      else return fail("--os takes nt5, nt4 or 9x, not '" + os + "'");
    } else if (a == "--os-version" && i + 1 < args.size()) {
      unsigned major = 0, minor = 0;
      char tail = 0;
      if (std::sscanf(args[++i].c_str(), "%u.%u%c", &major, &minor, &tail) != 2)
        return fail("--os-version takes MAJOR.MINOR");
      options.os_major = major;
      options.os_minor = minor;
    } else if (a == "--no-adapter") {
      options.default_adapter = false;
    } else if (folder.empty() && !a.empty() && a[0] != '-') {
      folder = a;
    } else {
      return fail("host new: unexpected '" + a + "'");
    }
  }
  if (folder.empty()) return fail("host new: FOLDER missing");
  std::string error;
  if (!make_host(folder, options, error)) return fail(error);
  std::printf("virtual host %s: %s %u.%u", folder.c_str(), options.os_family.c_str(),
              options.os_major, options.os_minor);
  if (options.default_adapter) std::printf(", adapter %s", kDefaultAdapterName);
  std::printf("\n");
  return 0;
}

int host_show(const std::vector<std::string>& args) {
  if (args.size() != 1) return fail("host show FOLDER");
  const std::string& folder = args[0];
  if (!std::ifstream(folder + "/" + kHostFileName)) return fail(folder + " holds no virtual host");
  const HostConfig host = read_host_config(folder);
  const RegistryLayout layout = registry_layout(host);
  std::printf("virtual host %s\n", folder.c_str());
  std::printf("  os: %s %u.%u\n  ac_line: %s\n  library_check: %u\n", host.os_family.c_str(),
              host.os_major, host.os_minor, host.ac_line.c_str(), host.library_check);
  std::printf("  network-class key: HKEY_LOCAL_MACHINE\\%s\n", network_class_key(layout));
  RegistryFile registry;
  if (!load_host_registry(folder, registry))
    std::printf("  %s: missing or not readable\n", kRegistryFileName);
  if (const auto* key =
          registry.node(std::string("HKEY_LOCAL_MACHINE\\") + network_class_key(layout))) {
    for (const auto& sub : key->subkeys) {
      const auto* display = sub->value(display_name_value(layout));
      std::string name = display ? std::string(display->begin(), display->end()) : "";
      if (auto zero = name.find('\0'); zero != std::string::npos) name.resize(zero);
      std::printf("    subkey %s: %s\n", sub->name.c_str(),
                  display ? name.c_str() : "(no display name)");
    }
  }
  std::printf("  adapters:\n");
  for (const auto& name : adapter_names(folder)) {
    AdapterDescription d;
    std::string error;
    if (!read_adapter_description(adapter_folder(folder, name) + "/" + kDescriptionFileName, d,
                                  error)) {
      std::printf("    %s: %s\n", name.c_str(), error.c_str());
      continue;
    }
    std::printf("    %s: subkey %s, instance %s, platform type %u%s\n", name.c_str(),
                d.class_subkey.c_str(), d.instance_name.c_str(), d.platform_type,
                d.disabled ? ", disabled" : "");
  }
  return 0;
}

int adapter_add(const std::vector<std::string>& args) {
  if (args.size() < 2) return fail("adapter add FOLDER NAME [KEY=VALUE]...");
  const std::string& folder = args[0];
  const std::string& name = args[1];
  AdapterDescription description;
  ProductionData data;
  bool pda_mac_given = false, platform_id_given = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    std::string key, value, error;
    if (!split_key_value(args[i], key, value)) return fail("expected KEY=VALUE, not '" + args[i] + "'");
    bool handled = false;
    if (!set_production_key(data, key, value, handled, error)) return fail(error);
    if (handled) {
      pda_mac_given |= key == "pda_mac";
      platform_id_given |= key == "platform_id";
      continue;
    }
    if (!set_description_key(description, key, value, error)) return fail(error);
  }
  // A unit's PDA carries the address its driver reports, and the platform
  // id of its board type, unless told otherwise.
  if (!pda_mac_given) data.mac_address = description.mac_address;
  if (!platform_id_given) data.platform_id = description.platform_type == 1 ? 0xE6B1 : 0xE6B2;
  std::string error;
  if (!add_adapter(folder, name, description, data, error)) return fail(error);
  std::printf("adapter %s added to %s\n", name.c_str(), folder.c_str());
  return 0;
}

int adapter_set(const std::vector<std::string>& args) {
  if (args.size() < 3) return fail("adapter set FOLDER NAME KEY=VALUE...");
  const std::string path = adapter_folder(args[0], args[1]) + "/" + kDescriptionFileName;
  AdapterDescription d;
  std::string error;
  if (!read_adapter_description(path, d, error)) return fail(error);
  const bool was_disabled = d.disabled;
  for (std::size_t i = 2; i < args.size(); ++i) {
    std::string key, value;
    if (!split_key_value(args[i], key, value)) return fail("expected KEY=VALUE, not '" + args[i] + "'");
    if (key == "display_name" || key == "instance_name" || key == "class_subkey" ||
        key == "matching_device_id" || key == "device_instance")
      return fail(key + " is the adapter's registry identity; it is fixed when the adapter is added");
    if (!set_description_key(d, key, value, error)) return fail(error);
  }
  if (!write_adapter_description(path, d)) return fail("cannot write " + path);
  // Keep system.reg in step, for importing it into Wine's registry.
  if (d.disabled != was_disabled) {
    const RegistryLayout layout = registry_layout(read_host_config(args[0]));
    const std::string root = layout == RegistryLayout::Win9x
                                 ? "HKEY_CURRENT_CONFIG\\Enum"
                                 : "HKEY_LOCAL_MACHINE\\system\\CurrentControlSet\\Hardware "
                                   "Profiles\\Current\\System\\CurrentControlSet\\Enum";
    std::ofstream reg(args[0] + "/" + kRegistryFileName, std::ios::app);
    reg << "\n[" << root << "\\" << d.matching_device_id << "\\" << d.device_instance
        << "]\n\"CSConfigFlags\"=dword:0000000" << (d.disabled ? 1 : 0) << "\n";
  }
  return 0;
}

std::string record_meaning(const std::uint16_t* r) {
  const std::uint16_t length = r[0], code = r[1];
  const std::uint16_t* data = r + 2;
  auto text = [&] {
    std::string t;
    for (std::uint16_t k = 0; k + 1 < length; ++k)
      for (int b = 0; b < 2; ++b) {
        const char c = static_cast<char>(data[k] >> (8 * b));
        if (c == '\0') return t;
        t += (c >= 0x20 && c <= 0x7E) ? c : ' ';
      }
    return t;
  };
  char buffer[64];
  if ((code == kPdrPartNumber || code == kPdrSerialNumber) && length > 2)
    return (code == kPdrPartNumber ? "part number \"" : "serial number \"") + text() + "\"";
  if (code == kPdrComponentIdentity && length >= 2)
    return "platform id " + hex_text(data[0], 4);
  if (code == kPdrMacAddress && length == 4) {
    std::snprintf(buffer, sizeof buffer, "MAC address %02X-%02X-%02X-%02X-%02X-%02X",
                  data[0] & 0xFF, data[0] >> 8, data[1] & 0xFF, data[1] >> 8, data[2] & 0xFF,
                  data[2] >> 8);
    return buffer;
  }
  if (code == kPdrRegulatoryDomains && length == 7)
    return "regulatory domain " + hex_text(data[1] & 0xFF, 2);
  std::string words;
  for (std::uint16_t k = 0; k + 1 < length && k < kShownWords; ++k) {
    std::snprintf(buffer, sizeof buffer, " %04x", data[k]);
    words += buffer;
  }
  return "data" + words + (length - 1 > kShownWords ? " ..." : "");
}

void show_pda_copy(const char* title, const std::vector<std::uint8_t>& bytes, PdaCopyFault fault) {
  std::vector<std::uint16_t> words(kPdaWords);
  for (std::size_t i = 0; i < kPdaWords && 2 * i + 1 < bytes.size(); ++i)
    words[i] = static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  PdaList list;
  const int processed = list.load_words(words.data(), kPdaWords);
  std::printf("%s: ", title);
  if (processed == 0) std::printf("no records (erased or unreadable)\n");
  else if (list.received_crc() == list.stored_crc())
    std::printf("sound, CRC %s\n", hex_text(list.stored_crc(), 4).c_str());
  else
    std::printf("CRC bad: stored %s, computed %s\n", hex_text(list.stored_crc(), 4).c_str(),
                hex_text(list.received_crc(), 4).c_str());
  for (const PdaNode* node = list.first_node(); node; node = node->next_node.get()) {
    const auto* r = node->record_words.data();
    std::printf("  PDR %s L %u: %s\n", hex_text(r[1], 4).c_str(), r[0], record_meaning(r).c_str());
  }
  if (fault == PdaCopyFault::Erased) std::printf("  reads answer it erased (fault)\n");
  if (fault == PdaCopyFault::BadCrc) std::printf("  reads answer it with a damaged CRC (fault)\n");
}

void show_regions(const std::vector<std::uint8_t>& flash, std::uint32_t pda) {
  std::printf("flash regions not erased:\n");
  bool any = false;
  std::size_t i = 0;
  while (i < flash.size()) {
    if (flash[i] == 0xFF) {
      ++i;
      continue;
    }
    std::size_t start = i, last = i;
    for (std::size_t j = i; j < flash.size() && j - last <= kRegionGap; ++j)
      if (flash[j] != 0xFF) last = j;
    i = last + 1;
    any = true;
    std::string what;
    if (start <= pda && pda <= last) what = "  PDA copy A";
    for (std::uint32_t at : {kStationIdentityAddress, kPrimaryIdentityAddress}) {
      if (at < start || at > last) continue;
      if (auto block = read_identity_block(flash, at))
        what += "  identity block at " + hex_text(at, 6) + ": component " +
                std::to_string(block->component) + " " + version_text(block->version) + " \"" +
                block->file_name + "\"";
    }
    std::printf("  %s-%s  %zu bytes%s\n", hex_text(static_cast<std::uint32_t>(start), 6).c_str(),
                hex_text(static_cast<std::uint32_t>(last), 6).c_str(), last - start + 1, what.c_str());
  }
  if (!any) std::printf("  none\n");
}

int adapter_show(const std::vector<std::string>& args) {
  if (args.size() != 2) return fail("adapter show FOLDER NAME");
  ToolPlatform platform;
  const std::string dir = adapter_folder(args[0], args[1]);
  AdapterDescription d;
  std::string error;
  if (!read_adapter_description(dir + "/" + kDescriptionFileName, d, error)) return fail(error);
  std::printf("adapter %s (%s)\n", args[1].c_str(), dir.c_str());
  std::printf("description:\n");
  std::istringstream lines(format_adapter_description(d));
  std::string line;
  while (std::getline(lines, line))
    if (!line.empty() && line[0] != '#') std::printf("  %s\n", line.c_str());

  const auto flash = read_memory_file(dir + "/" + kFlashFileName);
  const auto copy_b = read_memory_file(dir + "/" + kPdaCopyBFileName);
  const RunningFirmware running = running_firmware(flash, d);
  const char* from_flash = "from the identity block in flash";
  const char* from_description = "from the description";
  std::printf("the driver answers when the adapter starts:\n");
  std::printf("  RID_PRI_IDENTITY 0xFD02: primary %s (%s)\n", version_text(running.primary).c_str(),
              running.primary_from_flash ? from_flash : from_description);
  std::printf("  RID_STA_IDENTITY 0xFD20: station %s (%s)\n", version_text(running.station).c_str(),
              running.station_from_flash ? from_flash : from_description);
  std::printf("  RID_PRI_SUPPLIER_RANGE 0xFD03: %u to %u\n", d.supplier_bottom, d.supplier_top);
  std::printf("  RID_PLATFORM 0xFD04: platform type %u\n", d.platform_type);
  std::printf("  RID_FIRMWARE_FILES 0xFFFF: \"%s\"\n", running.firmware_files.c_str());
  const auto& m = d.mac_address;
  std::printf("  OID_802_3_PERMANENT_ADDRESS: %02X-%02X-%02X-%02X-%02X-%02X\n", m[0], m[1], m[2],
              m[3], m[4], m[5]);
  std::printf("  OID_GEN_VENDOR_DRIVER_VERSION: %s (%u.%u.%u)\n", hex_text(d.driver_version, 8).c_str(),
              d.driver_version >> 16, (d.driver_version >> 8) & 0xFF, d.driver_version & 0xFF);

  const std::uint32_t pda = pda_address(d.platform_type);
  std::vector<std::uint8_t> copy_a;
  if (flash.size() >= pda + kPdaCopyBytes)
    copy_a.assign(flash.begin() + pda, flash.begin() + pda + kPdaCopyBytes);
  show_pda_copy(("PDA copy A at " + hex_text(pda, 6) + " in " + kFlashFileName).c_str(), copy_a, d.pda_a);
  show_pda_copy((std::string("PDA copy B in ") + kPdaCopyBFileName).c_str(), copy_b, d.pda_b);
  show_regions(flash, pda);
  return 0;
}

int adapter_trace(const std::vector<std::string>& args) {
  if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--clear"))
    return fail("adapter trace FOLDER NAME [--clear]");
  const std::string path = adapter_folder(args[0], args[1]) + "/" + kTraceFileName;
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("cannot read " + path);
  if (args.size() == 3) {
    in.close();
    std::ofstream(path, std::ios::binary | std::ios::trunc);
    return 0;
  }
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

struct Sub {
  const char* name;
  int (*run)(const std::vector<std::string>&);
};

int dispatch(const char* group, const std::vector<Sub>& subs,
             const std::vector<std::string>& args) {
  if (!args.empty())
    for (const auto& s : subs)
      if (args[0] == s.name) return s.run({args.begin() + 1, args.end()});
  std::string names;
  for (const auto& s : subs) names += std::string(names.empty() ? "" : ", ") + s.name;
  return fail(std::string(group) + ": expected one of " + names);
}

int run_host(const std::vector<std::string>& args) {
  return dispatch("host", {{"new", host_new}, {"show", host_show}}, args);
}

int run_adapter(const std::vector<std::string>& args) {
  return dispatch("adapter",
                  {{"add", adapter_add}, {"set", adapter_set}, {"show", adapter_show},
                   {"trace", adapter_trace}},
                  args);
}

}  // namespace

std::vector<Command> host_commands() {
  return {
      {"host",
       "new FOLDER [--os nt5|nt4|9x] [--os-version MAJOR.MINOR] [--no-adapter]: make a fresh "
       "virtual host with the default adapter; host show FOLDER: its OS, registry and adapters",
       run_host},
      {"adapter",
       "add FOLDER NAME [KEY=VALUE]...: add an adapter; adapter set FOLDER NAME KEY=VALUE...: "
       "change its description; adapter show FOLDER NAME: its description, identity, PDA "
       "copies and flash; adapter trace FOLDER NAME [--clear]: its trace",
       run_adapter},
  };
}

}  // namespace devov::tool
