// Reading and making the virtual host folder.
#include "emulator/host_config.h"
#include "emulator/text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace devov::emulator {
namespace {

std::uint32_t to_number(const std::string& text, std::uint32_t fallback) {
  if (text.empty()) return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 0);
  return (end && *end == '\0') ? static_cast<std::uint32_t>(value) : fallback;
}

constexpr const char* kHostFileComment =
    "# The emulated Windows host of 6271DEVOV. Each line is key = value.\n"
    "#\n"
    "# os_family: nt (Windows NT family) or 9x (Windows 95/98/Me)\n"
    "# os_major, os_minor: the version the system reports\n"
    "# ac_line: auto (this machine's AC status; on line where none is known),\n"
    "#          online, offline or unknown\n"
    "# library_check: the request library's last error after its start-up check:\n"
    "#          6 the library is present, 2 file not found, 5 access denied,\n"
    "#          any other code an unknown failure\n";

}  // namespace

std::map<std::string, std::string> read_key_value_file(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = trim(line.substr(0, equals));
    if (!key.empty()) values[key] = trim(line.substr(equals + 1));
  }
  return values;
}

std::string host_folder_from_environment() {
  if (const char* prefix = std::getenv("DEVOV_PREFIX"); prefix && *prefix) return prefix;
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.6271devov";
  return {};
}

HostConfig read_host_config(const std::string& folder) {
  HostConfig config;
  if (folder.empty()) return config;
  auto values = read_key_value_file(folder + "/" + kHostFileName);
  if (auto it = values.find("os_family"); it != values.end()) config.os_family = it->second;
  if (auto it = values.find("os_major"); it != values.end())
    config.os_major = to_number(it->second, config.os_major);
  if (auto it = values.find("os_minor"); it != values.end())
    config.os_minor = to_number(it->second, config.os_minor);
  if (auto it = values.find("ac_line"); it != values.end()) config.ac_line = it->second;
  if (auto it = values.find("library_check"); it != values.end())
    config.library_check = to_number(it->second, config.library_check);
  return config;
}

bool ensure_host_folder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(fs::path(folder) / kDriveCFolder, error);
  if (!fs::is_directory(fs::path(folder) / kDriveCFolder)) return false;
  fs::path host_file = fs::path(folder) / kHostFileName;
  if (!fs::exists(host_file)) {
    std::ofstream out(host_file);
    out << format_host_config(HostConfig{});
  }
  return true;
}

std::string format_host_config(const HostConfig& config) {
  return std::string(kHostFileComment) + "os_family = " + config.os_family +
         "\nos_major = " + std::to_string(config.os_major) +
         "\nos_minor = " + std::to_string(config.os_minor) + "\nac_line = " + config.ac_line +
         "\nlibrary_check = " + std::to_string(config.library_check) + "\n";
}

}  // namespace devov::emulator
