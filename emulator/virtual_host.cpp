// Making virtual hosts and their adapters, and reading the host's registry.
#include "emulator/virtual_host.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "emulator/adapter_memory.h"
#include "emulator/registry_file.h"
#include "production/crc16.h"

namespace devov::emulator {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kType1FlashBytes = 4u << 20;
constexpr std::uint32_t kType2FlashBytes = 8u << 20;
constexpr std::uint32_t kType1PdaAddress = 0x3F0000;
constexpr std::uint32_t kType2PdaAddress = 0x7F0000;
constexpr std::uint32_t kType1ControlAddress = 0x1FEE66;
constexpr std::uint32_t kType2ControlAddress = 0x7FDE66;

// Subkey names the program can still resolve: at most 15 characters.
constexpr std::size_t kMaxSubkeyName = 15;

// The PDRs a new adapter's PDA holds.
constexpr std::uint16_t kPdrPartNumber = 0x0001;
constexpr std::uint16_t kPdrSerialNumber = 0x0003;
constexpr std::uint16_t kPdrComponentIdentity = 0x0008;
constexpr std::uint16_t kPdrMacAddress = 0x0101;
constexpr std::uint16_t kPdrRegulatoryDomains = 0x0103;
constexpr std::uint16_t kPdrSetpointSource1 = 0x0900;
constexpr std::uint16_t kPdrSetpointSource2 = 0x0901;
constexpr std::size_t kSerialNumberWords = 6;
constexpr std::size_t kRegulatoryWords = 6;
constexpr std::size_t kSetpointSource1Words = 30;
constexpr std::size_t kSetpointSource2Words = 33;

const char* kNtDeviceRoot =
    "HKEY_LOCAL_MACHINE\\system\\CurrentControlSet\\Hardware Profiles\\Current\\System\\"
    "CurrentControlSet\\Enum";
const char* k9xDeviceRoot = "HKEY_CURRENT_CONFIG\\Enum";

std::string lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A text as a REGEDIT4 quoted string.
std::string reg_text(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string reg_dword(std::uint32_t value) {
  char buffer[20];
  std::snprintf(buffer, sizeof buffer, "dword:%08x", value);
  return buffer;
}

std::vector<std::uint16_t> text_words(const std::string& text, std::size_t count) {
  std::vector<std::uint16_t> out(count, 0);
  for (std::size_t i = 0; i < text.size() && i < 2 * count; ++i)
    out[i / 2] = static_cast<std::uint16_t>(out[i / 2] |
                                            static_cast<std::uint8_t>(text[i]) << (8 * (i % 2)));
  return out;
}

void append_record(std::vector<std::uint16_t>& pda, std::uint16_t code,
                   const std::vector<std::uint16_t>& data) {
  pda.push_back(static_cast<std::uint16_t>(data.size() + 1));
  pda.push_back(code);
  pda.insert(pda.end(), data.begin(), data.end());
}

bool write_file(const fs::path& path, const std::string& text, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) error = "cannot write " + path.string();
  return static_cast<bool>(out);
}

bool write_bytes(const fs::path& path, const std::vector<std::uint8_t>& bytes,
                 std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) error = "cannot write " + path.string();
  return static_cast<bool>(out);
}

void put_words(std::vector<std::uint8_t>& bytes, std::size_t at,
               const std::vector<std::uint16_t>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    bytes[at + 2 * i] = static_cast<std::uint8_t>(words[i]);
    bytes[at + 2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
  }
}

std::string device_root(RegistryLayout layout) {
  return layout == RegistryLayout::Win9x ? k9xDeviceRoot : kNtDeviceRoot;
}

// The section that sets an adapter's device instance flags.
std::string device_section(RegistryLayout layout, const AdapterDescription& d) {
  return "[" + device_root(layout) + "\\" + d.matching_device_id + "\\" + d.device_instance +
         "]\n\"CSConfigFlags\"=" + reg_dword(d.disabled ? 1 : 0) + "\n";
}

std::string adapter_sections(RegistryLayout layout, const AdapterDescription& d) {
  std::ostringstream out;
  out << "\n[HKEY_LOCAL_MACHINE\\" << network_class_key(layout) << "\\" << d.class_subkey
      << "]\n"
      << reg_text(display_name_value(layout)) << "=" << reg_text(d.display_name) << "\n"
      << reg_text(instance_name_value(layout)) << "=" << reg_text(d.instance_name) << "\n"
      << "\"MatchingDeviceId\"=" << reg_text(d.matching_device_id) << "\n"
      << "\"ProviderName\"=\"Velk\"\n";
  if (layout == RegistryLayout::Nt4)
    out << "\"Title\"=" << reg_text("[" + d.class_subkey + "] " + d.display_name) << "\n";
  out << "\n" << device_section(layout, d);
  return out.str();
}

// A GUID made from the adapter's name, so a host made twice is the same.
std::string instance_guid(const std::string& name) {
  std::uint64_t a = 1469598103934665603ull, b = 1099511628211ull;
  for (char c : name) {
    a = (a ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
    b = (b ^ static_cast<std::uint8_t>(c)) * 1469598103934665603ull + 0x6271;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(a >> 32), static_cast<unsigned>((a >> 16) & 0xFFFF),
                static_cast<unsigned>(a & 0xFFFF), static_cast<unsigned>(b >> 48),
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
  return buffer;
}

bool valid_adapter_name(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  });
}

}  // namespace

RegistryLayout registry_layout(const HostConfig& host) {
  if (host.os_family == "9x") return RegistryLayout::Win9x;
  return host.os_major >= 5 ? RegistryLayout::Nt5 : RegistryLayout::Nt4;
}

const char* network_class_key(RegistryLayout layout) {
  switch (layout) {
    case RegistryLayout::Win9x: return "System\\CurrentControlSet\\Services\\Class\\Net";
    case RegistryLayout::Nt4: return "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
    case RegistryLayout::Nt5:
      return "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
  }
  return "";
}

const char* display_name_value(RegistryLayout layout) {
  return layout == RegistryLayout::Nt4 ? "Description" : "DriverDesc";
}

const char* instance_name_value(RegistryLayout layout) {
  switch (layout) {
    case RegistryLayout::Win9x: return "DeviceVxDs";
    case RegistryLayout::Nt4: return "ServiceName";
    case RegistryLayout::Nt5: return "NetCfgInstanceId";
  }
  return "";
}

std::uint32_t flash_size(std::uint16_t platform_type) {
  return platform_type == 1 ? kType1FlashBytes : kType2FlashBytes;
}

std::uint32_t pda_address(std::uint16_t platform_type) {
  return platform_type == 1 ? kType1PdaAddress : kType2PdaAddress;
}

std::uint32_t control_write_address(std::uint16_t platform_type) {
  return platform_type == 1 ? kType1ControlAddress : kType2ControlAddress;
}

std::vector<std::uint16_t> build_pda_words(const ProductionData& data) {
  std::vector<std::uint16_t> pda;
  // Room for the text and a terminating zero.
  append_record(pda, kPdrPartNumber,
                text_words(data.part_number, data.part_number.size() / 2 + 1));
  append_record(pda, kPdrSerialNumber, text_words(data.serial_number, kSerialNumberWords));
  // Component identity: id, variant, major, minor.
  append_record(pda, kPdrComponentIdentity, {data.platform_id, 1, 1, 0});
  const auto& m = data.mac_address;
  append_record(pda, kPdrMacAddress,
                {static_cast<std::uint16_t>(m[0] | m[1] << 8),
                 static_cast<std::uint16_t>(m[2] | m[3] << 8),
                 static_cast<std::uint16_t>(m[4] | m[5] << 8)});
  // The domain list: its count, then the domains, one a word.
  std::vector<std::uint16_t> domains(kRegulatoryWords, 0);
  domains[0] = 1;
  domains[1] = data.regulatory_domain;
  append_record(pda, kPdrRegulatoryDomains, domains);
  if (data.setpoint_tables) {
    // First set, two substitutes, second set (and three trailing words in
    // the second table); every value differs so a wrong pick shows.
    std::vector<std::uint16_t> first(kSetpointSource1Words), second(kSetpointSource2Words);
    for (std::size_t k = 0; k < kSetpointSource1Words; ++k)
      first[k] = static_cast<std::uint16_t>(0x1000 + k);
    for (std::size_t k = 0; k < kSetpointSource2Words; ++k)
      second[k] = static_cast<std::uint16_t>(0x2000 + k);
    append_record(pda, kPdrSetpointSource1, first);
    append_record(pda, kPdrSetpointSource2, second);
  }
  const std::uint16_t end[2] = {2, 0};
  std::uint16_t crc = crc16_update_words(0, pda.data(), pda.size());
  crc = crc16_update_words(crc, end, 2);
  pda.insert(pda.end(), {end[0], end[1], crc});
  return pda;
}

AdapterDescription default_adapter_description(const HostConfig& host) {
  AdapterDescription d;
  const RegistryLayout layout = registry_layout(host);
  d.class_subkey = layout == RegistryLayout::Nt4 ? "1" : "0000";
  d.device_instance = "VLK000001";
  switch (layout) {
    case RegistryLayout::Nt5: d.instance_name = instance_guid(kDefaultAdapterName); break;
    case RegistryLayout::Nt4: d.instance_name = "VLK62711"; break;
    case RegistryLayout::Win9x: d.instance_name = "vlk6271.sys"; break;
  }
  return d;
}

std::string adapter_folder(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / kAdaptersFolder / name).string();
}

std::vector<std::string> adapter_names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(folder) / kAdaptersFolder, error))
    if (entry.is_directory() && fs::exists(entry.path() / kDescriptionFileName))
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool make_host(const std::string& folder, const HostOptions& options, std::string& error) {
  const fs::path root(folder);
  if (fs::exists(root / kHostFileName) || fs::exists(root / kAdaptersFolder) ||
      fs::exists(root / kRegistryFileName)) {
    error = folder + " already holds a virtual host";
    return false;
  }
  std::error_code made;
  fs::create_directories(root / kDriveCFolder, made);
  fs::create_directories(root / kAdaptersFolder, made);
  if (!fs::is_directory(root / kDriveCFolder) || !fs::is_directory(root / kAdaptersFolder)) {
    error = "cannot make " + folder;
    return false;
  }
  HostConfig host;
  host.os_family = options.os_family;
  host.os_major = options.os_major;
  host.os_minor = options.os_minor;
  if (!write_file(root / kHostFileName, format_host_config(host), error)) return false;
  const RegistryLayout layout = registry_layout(host);
  std::string reg = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + std::string(network_class_key(layout)) +
                    "]\n";
  if (layout != RegistryLayout::Nt4) reg += "@=\"Network adapters\"\n\"Class\"=\"Net\"\n";
  if (!write_file(root / kRegistryFileName, reg, error)) return false;
  if (!options.default_adapter) return true;
  return add_adapter(folder, kDefaultAdapterName, default_adapter_description(host),
                     ProductionData{}, error);
}

bool add_adapter(const std::string& folder, const std::string& name,
                 AdapterDescription description, const ProductionData& data,
                 std::string& error) {
  if (!valid_adapter_name(name)) {
    error = "an adapter name is letters, digits, '-', '_' and '.', not '" + name + "'";
    return false;
  }
  const fs::path root(folder);
  if (!fs::exists(root / kHostFileName)) {
    error = folder + " holds no virtual host";
    return false;
  }
  const fs::path dir = root / kAdaptersFolder / name;
  if (fs::exists(dir)) {
    error = "adapter '" + name + "' exists already";
    return false;
  }
  const HostConfig host = read_host_config(folder);
  const RegistryLayout layout = registry_layout(host);

  // Choose what the description leaves open, clear of the host's other
  // adapters and of the subkeys its registry has already.
  std::set<std::string> subkeys, instances, devices;
  for (const auto& other : adapter_names(folder)) {
    AdapterDescription d;
    std::string ignored;
    if (!read_adapter_description(adapter_folder(folder, other) + "/" + kDescriptionFileName, d,
                                  ignored))
      continue;
    subkeys.insert(lower(d.class_subkey));
    instances.insert(lower(d.instance_name));
    devices.insert(lower(d.matching_device_id + "\\" + d.device_instance));
  }
  RegistryFile registry;
  registry.load((root / kRegistryFileName).string());
  if (const auto* key =
          registry.node(std::string("HKEY_LOCAL_MACHINE\\") + network_class_key(layout)))
    for (const auto& sub : key->subkeys) subkeys.insert(lower(sub->name));
  unsigned number = layout == RegistryLayout::Nt4 ? 1 : 0;
  auto subkey_for = [&](unsigned n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, layout == RegistryLayout::Nt4 ? "%u" : "%04u", n);
    return std::string(buffer);
  };
  if (description.class_subkey.empty()) {
    while (subkeys.count(subkey_for(number))) ++number;
    description.class_subkey = subkey_for(number);
  } else {
    number = static_cast<unsigned>(std::atoi(description.class_subkey.c_str()));
  }
  if (description.class_subkey.size() > kMaxSubkeyName) {
    error = "class_subkey '" + description.class_subkey + "' is longer than 15 characters";
    return false;
  }
  if (subkeys.count(lower(description.class_subkey))) {
    error = "the network-class subkey '" + description.class_subkey + "' is taken";
    return false;
  }
  if (description.instance_name.empty()) {
    switch (layout) {
      case RegistryLayout::Nt5: description.instance_name = instance_guid(name); break;
      case RegistryLayout::Nt4: description.instance_name = "VLK6271" + std::to_string(number); break;
      case RegistryLayout::Win9x: description.instance_name = "vlk6271.sys"; break;
    }
  }
  if (layout != RegistryLayout::Win9x && instances.count(lower(description.instance_name))) {
    error = "the instance name '" + description.instance_name + "' is taken";
    return false;
  }
  if (description.device_instance.empty()) {
    unsigned n = 1;
    char buffer[16];
    do std::snprintf(buffer, sizeof buffer, "VLK%06u", n++);
    while (devices.count(lower(description.matching_device_id + "\\" + buffer)));
    description.device_instance = buffer;
  }

  std::error_code made;
  fs::create_directories(dir, made);
  if (!fs::is_directory(dir)) {
    error = "cannot make " + dir.string();
    return false;
  }
  const auto pda = build_pda_words(data);
  std::vector<std::uint8_t> flash(flash_size(description.platform_type), 0xFF);
  std::vector<std::uint8_t> copy_b(kPdaCopyBytes, 0xFF);
  put_words(flash, pda_address(description.platform_type), pda);
  put_words(copy_b, 0, pda);
  if (!write_adapter_description((dir / kDescriptionFileName).string(), description)) {
    error = "cannot write " + (dir / kDescriptionFileName).string();
    return false;
  }
  if (!write_bytes(dir / kFlashFileName, flash, error) ||
      !write_bytes(dir / kPdaCopyBFileName, copy_b, error) ||
      !write_file(dir / kTraceFileName, "", error))
    return false;
  std::ofstream reg(root / kRegistryFileName, std::ios::binary | std::ios::app);
  reg << adapter_sections(layout, description);
  if (!reg) {
    error = "cannot write " + (root / kRegistryFileName).string();
    return false;
  }
  return true;
}

bool load_host_registry(const std::string& folder, RegistryFile& registry) {
  const bool loaded = registry.load((fs::path(folder) / kRegistryFileName).string());
  const RegistryLayout layout = registry_layout(read_host_config(folder));
  for (const auto& name : adapter_names(folder)) {
    AdapterDescription d;
    std::string ignored;
    if (!read_adapter_description(adapter_folder(folder, name) + "/" + kDescriptionFileName, d,
                                  ignored))
      continue;
    if (d.matching_device_id.empty() || d.device_instance.empty()) continue;
    registry.parse(device_section(layout, d));
  }
  return loaded;
}

}  // namespace devov::emulator
