// The virtual host folder: where it is, what it holds, and what the emulated
// platform answers from its description file.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace devov::emulator {

// Text files of "key = value" lines; "#" starts a comment.
std::map<std::string, std::string> read_key_value_file(const std::string& path);

inline constexpr const char* kHostFileName = "host.conf";
inline constexpr const char* kDriveCFolder = "drive_c";
inline constexpr const char* kRegistryFileName = "system.reg";

// What the host description says; every key has a default.
struct HostConfig {
  std::string os_family = "nt";  // "nt" or "9x"
  std::uint32_t os_major = 5;
  std::uint32_t os_minor = 1;
  std::string ac_line = "auto";  // "auto", "online", "offline" or "unknown"
  // The last error the library reports after its start-up check: 6 when it
  // is present, 2 or 5 or any other code to stand for a broken installation.
  std::uint32_t library_check = 6;
};

// The folder named by DEVOV_PREFIX, else ".6271devov" in the home folder;
// empty when neither is set.
std::string host_folder_from_environment();

// Reads <folder>/host.conf; missing keys and a missing file keep the defaults.
HostConfig read_host_config(const std::string& folder);

// Makes the folder, its drive_c and a commented host.conf where they are
// missing. False when the folder cannot be made.
bool ensure_host_folder(const std::string& folder);

// The commented host.conf text for a description.
std::string format_host_config(const HostConfig& config);

}  // namespace devov::emulator
