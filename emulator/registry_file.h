// A registry kept in a REGEDIT4 text file: the POSIX program's stand-in for
// the Windows registry, in the format that regedit imports, so one fixture
// serves both programs.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace devov::emulator {

struct RegistryNode {
  std::string name;  // as written, case kept
  std::vector<std::unique_ptr<RegistryNode>> subkeys;
  // Values by name as written; the unnamed value is "".
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> values;

  RegistryNode* find(const std::string& name) const;
  RegistryNode& make(const std::string& name);
  const std::vector<std::uint8_t>* value(const std::string& name) const;
};

// The keys of one REGEDIT4 text, readable through the registry interface.
// Subkeys enumerate in the order Windows gives them: sorted without regard to
// case.
class RegistryFile : public platform::Registry {
 public:
  RegistryFile();
  ~RegistryFile() override;

  // Reads a REGEDIT4 text; false (with the keys read so far kept) at the
  // first line it cannot take.
  bool parse(const std::string& text);
  bool load(const std::string& path);

  bool open_key(platform::RegistryRoot root, const std::string& path,
                platform::RegistryKey& key) override;
  bool open_subkey(platform::RegistryKey parent, const std::string& path,
                   platform::RegistryKey& key) override;
  bool enum_subkey(platform::RegistryKey key, std::uint32_t index, std::size_t buffer_size,
                   std::string& name) override;
  bool query_value(platform::RegistryKey key, const std::string& name,
                   std::size_t buffer_size, std::vector<std::uint8_t>& data) override;
  void close_key(platform::RegistryKey key) override;

  // The node of a full path such as "HKEY_LOCAL_MACHINE\System\..."; nullptr
  // when absent.
  const RegistryNode* node(const std::string& full_path) const;

 private:
  RegistryNode* walk(RegistryNode* from, const std::string& path, bool make);
  RegistryNode* root_node(const std::string& name, bool make);
  RegistryNode* handle_node(platform::RegistryKey key) const;

  RegistryNode roots_;
  std::map<platform::RegistryKey, RegistryNode*> open_;
  platform::RegistryKey next_key_ = 1;
};

}  // namespace devov::emulator
