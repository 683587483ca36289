// Reading and writing adapter.conf.
#include "emulator/adapter_description.h"
#include "emulator/text.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace devov::emulator {
namespace {

std::string lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string word;
  while (in >> word) out.push_back(word);
  return out;
}

// A whole number in decimal or, with 0x, hexadecimal, no larger than `max`.
bool to_number(const std::string& text, std::uint64_t max, std::uint64_t& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || !end || *end != '\0' || v > max) return false;
  value = v;
  return true;
}

template <typename T>
bool to_unsigned(const std::string& text, T& out) {
  std::uint64_t v = 0;
  if (!to_number(text, static_cast<T>(~T{0}), v)) return false;
  out = static_cast<T>(v);
  return true;
}

bool to_bool(const std::string& text, bool& out) {
  const std::string t = lower(text);
  if (t == "yes" || t == "true" || t == "1") return out = true, true;
  if (t == "no" || t == "false" || t == "0") return out = false, true;
  return false;
}

bool to_version(const std::string& text, FirmwareVersion& out) {
  unsigned major = 0, minor = 0, variant = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &variant, &tail) != 3)
    return false;
  if (major > 0xFFFF || minor > 0xFFFF || variant > 0xFFFF) return false;
  out = {static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(minor),
         static_cast<std::uint16_t>(variant)};
  return true;
}

bool to_mac(const std::string& text, std::array<std::uint8_t, 6>& out) {
  std::array<std::uint8_t, 6> mac{};
  std::size_t digits = 0;
  for (char c : text) {
    int v = std::isxdigit(static_cast<unsigned char>(c))
                ? (std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                               : std::tolower(c) - 'a' + 10)
                : -1;
    if (v < 0) {
      if (c != '-' && c != ':') return false;
      continue;
    }
    if (digits == 12) return false;
    mac[digits / 2] = static_cast<std::uint8_t>(mac[digits / 2] * 16 + v);
    ++digits;
  }
  if (digits != 12) return false;
  out = mac;
  return true;
}

bool to_status_faults(const std::string& text, std::vector<StatusFault>& out,
                      std::string& error) {
  out.clear();
  std::string entry;
  std::istringstream in(text);
  while (std::getline(in, entry, ',')) {
    auto parts = words(entry);
    if (parts.empty()) continue;
    StatusFault fault;
    bool ok = parts.size() >= 3 && to_unsigned(parts[0], fault.oid) &&
              to_unsigned(parts[1], fault.status);
    if (ok) {
      const std::string when = lower(parts[2]);
      if (when == "always" && parts.size() == 3) {
        fault.when = FaultWhen::Always;
      } else if (when == "once" && parts.size() == 3) {
        fault.when = FaultWhen::Once;
      } else if (when == "from" && parts.size() == 4 && to_unsigned(parts[3], fault.from_call) &&
                 fault.from_call > 0) {
        fault.when = FaultWhen::From;
      } else {
        ok = false;
      }
    }
    if (!ok) {
      error = "expected OID STATUS always|once|from N, not '" + trim(entry) + "'";
      return false;
    }
    out.push_back(fault);
  }
  return true;
}

bool to_block_write_fault(const std::string& text, BlockWriteFault& fault, std::uint32_t& at) {
  auto parts = words(lower(text));
  if (parts.size() == 1 && parts[0] == "none") {
    fault = BlockWriteFault::None;
    at = 1;
    return true;
  }
  if (parts.empty() || parts.size() > 2) return false;
  std::uint32_t n = 1;
  if (parts.size() == 2 && (!to_unsigned(parts[1], n) || n == 0)) return false;
  if (parts[0] == "once") fault = BlockWriteFault::FailOnce;
  else if (parts[0] == "twice") fault = BlockWriteFault::FailTwice;
  else return false;
  at = n;
  return true;
}

bool to_pda_fault(const std::string& text, PdaCopyFault& out) {
  const std::string t = lower(text);
  if (t == "stored") return out = PdaCopyFault::None, true;
  if (t == "erased") return out = PdaCopyFault::Erased, true;
  if (t == "bad_crc") return out = PdaCopyFault::BadCrc, true;
  return false;
}

const char* pda_fault_text(PdaCopyFault fault) {
  switch (fault) {
    case PdaCopyFault::None: return "stored";
    case PdaCopyFault::Erased: return "erased";
    case PdaCopyFault::BadCrc: return "bad_crc";
  }
  return "stored";
}

}  // namespace

bool set_description_key(AdapterDescription& d, const std::string& key, const std::string& raw,
                         std::string& error) {
  const std::string value = trim(raw);
  bool ok = true;
  if (key == "display_name") d.display_name = value;
  else if (key == "instance_name") d.instance_name = value;
  else if (key == "class_subkey") d.class_subkey = value;
  else if (key == "matching_device_id") d.matching_device_id = value;
  else if (key == "device_instance") d.device_instance = value;
  else if (key == "disabled") ok = to_bool(value, d.disabled);
  else if (key == "platform_type") ok = to_unsigned(value, d.platform_type);
  else if (key == "primary") ok = to_version(value, d.primary);
  else if (key == "station") ok = to_version(value, d.station);
  else if (key == "supplier_range") {
    auto parts = words(value);
    ok = parts.size() == 2 && to_unsigned(parts[0], d.supplier_bottom) &&
         to_unsigned(parts[1], d.supplier_top);
  } else if (key == "firmware_files") d.firmware_files = value;
  else if (key == "mac_address") ok = to_mac(value, d.mac_address);
  else if (key == "driver_version") ok = to_unsigned(value, d.driver_version);
  else if (key == "enable_aux") {
    const std::string t = lower(value);
    ok = t == "accepted" || t == "refused";
    if (ok) d.enable_aux_accepted = t == "accepted";
  } else if (key == "probe") {
    const std::string t = lower(value);
    ok = t == "supported" || t == "unsupported";
    if (ok) d.probe_supported = t == "supported";
  } else if (key == "fault_status") {
    if (!to_status_faults(value, d.status_faults, error)) {
      error = "fault_status: " + error;
      return false;
    }
  } else if (key == "fault_block_write") {
    ok = to_block_write_fault(value, d.block_write_fault, d.block_write_fault_at);
  } else if (key == "fault_rid_length_zero") {
    d.rid_length_zero.clear();
    for (const auto& word : words(value)) {
      std::uint16_t rid = 0;
      if (!to_unsigned(word, rid)) {
        ok = false;
        break;
      }
      d.rid_length_zero.push_back(rid);
    }
  } else if (key == "pda_a") ok = to_pda_fault(value, d.pda_a);
  else if (key == "pda_b") ok = to_pda_fault(value, d.pda_b);
  else if (key == "removed_after") ok = to_unsigned(value, d.removed_after);
  else {
    error = "unknown key '" + key + "'";
    return false;
  }
  if (!ok) error = key + ": bad value '" + value + "'";
  return ok;
}

bool parse_adapter_description(const std::string& text, AdapterDescription& description,
                               std::string& error) {
  AdapterDescription d = description;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string t = trim(line);
    if (t.empty() || t[0] == '#') continue;
    auto equals = t.find('=');
    if (equals == std::string::npos) {
      error = "line " + std::to_string(number) + ": expected key = value";
      return false;
    }
    std::string why;
    if (!set_description_key(d, trim(t.substr(0, equals)), t.substr(equals + 1), why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
  }
  description = d;
  return true;
}

bool read_adapter_description(const std::string& path, AdapterDescription& description,
                              std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  if (!parse_adapter_description(text.str(), description, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::string format_adapter_description(const AdapterDescription& d) {
  std::ostringstream out;
  char mac[18];
  std::snprintf(mac, sizeof mac, "%02X-%02X-%02X-%02X-%02X-%02X", d.mac_address[0],
                d.mac_address[1], d.mac_address[2], d.mac_address[3], d.mac_address[4],
                d.mac_address[5]);
  out << "# A virtual 6271 USB adapter. Each line is key = value; a line that\n"
         "# starts with # is a comment. The program reads this file when it first\n"
         "# opens the adapter; docs/virtual-host.md describes every key.\n"
         "\n"
         "# How the host's registry knows the adapter (kept in step with system.reg).\n"
      << "display_name = " << d.display_name << "\n"
      << "instance_name = " << d.instance_name << "\n"
      << "class_subkey = " << d.class_subkey << "\n"
      << "matching_device_id = " << d.matching_device_id << "\n"
      << "device_instance = " << d.device_instance << "\n"
      << "# yes: disabled in the current hardware profile (CSConfigFlags bit 0)\n"
      << "disabled = " << (d.disabled ? "yes" : "no") << "\n"
      << "\n"
         "# What the adapter and its driver answer. The identities and file names\n"
         "# are those of the firmware the adapter came with; once its flash holds\n"
         "# firmware with an identity block, that firmware's are answered.\n"
      << "platform_type = " << d.platform_type << "\n"
      << "primary = " << version_text(d.primary) << "\n"
      << "station = " << version_text(d.station) << "\n"
      << "supplier_range = " << d.supplier_bottom << " " << d.supplier_top << "\n"
      << "firmware_files = " << d.firmware_files << "\n"
      << "mac_address = " << mac << "\n"
      << "driver_version = " << hex_text(d.driver_version, 8) << "\n"
      << "# accepted or refused\n"
      << "enable_aux = " << (d.enable_aux_accepted ? "accepted" : "refused") << "\n"
      << "# supported or unsupported (answers NDIS_STATUS_INVALID_OID)\n"
      << "probe = " << (d.probe_supported ? "supported" : "unsupported") << "\n"
      << "\n"
         "# Faults.\n"
         "# fault_status: OID STATUS always|once|from N, entries separated by commas\n";
  out << "fault_status =";
  for (std::size_t i = 0; i < d.status_faults.size(); ++i) {
    const auto& f = d.status_faults[i];
    out << (i ? ", " : " ");
    out << hex_text(f.oid, 8) << " " << hex_text(f.status, 8) << " "
        << (f.when == FaultWhen::Always ? "always"
            : f.when == FaultWhen::Once ? "once"
                                        : "from " + std::to_string(f.from_call));
  }
  out << "\n# fault_block_write: none, once [N] or twice [N] (the Nth block write)\n"
      << "fault_block_write = ";
  if (d.block_write_fault == BlockWriteFault::None) out << "none";
  else
    out << (d.block_write_fault == BlockWriteFault::FailOnce ? "once " : "twice ")
        << d.block_write_fault_at;
  out << "\n# fault_rid_length_zero: RIDs answered with length word 0\n"
      << "fault_rid_length_zero =";
  for (auto rid : d.rid_length_zero) out << " " << hex_text(rid, 4);
  out << "\n# pda_a, pda_b: stored, erased or bad_crc\n"
      << "pda_a = " << pda_fault_text(d.pda_a) << "\n"
      << "pda_b = " << pda_fault_text(d.pda_b) << "\n"
      << "# removed_after: the adapter is removed after N requests; 0 never\n"
      << "removed_after = " << d.removed_after << "\n";
  return out.str();
}

bool write_adapter_description(const std::string& path, const AdapterDescription& description) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << format_adapter_description(description);
  return static_cast<bool>(out);
}

std::string version_text(const FirmwareVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.variant);
}

}  // namespace devov::emulator
