// The REGEDIT4 registry file.
#include "emulator/registry_file.h"
#include "emulator/text.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace devov::emulator {
namespace {

bool same_name(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool sorts_before(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) <
           std::toupper(static_cast<unsigned char>(y));
  });
}

// Reads a quoted text starting at `at` (the opening quote); `at` ends after
// the closing quote.
bool read_quoted(const std::string& line, std::size_t& at, std::string& out) {
  if (at >= line.size() || line[at] != '"') return false;
  ++at;
  out.clear();
  while (at < line.size()) {
    char c = line[at++];
    if (c == '"') return true;
    if (c == '\\' && at < line.size()) c = line[at++];
    out += c;
  }
  return false;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool read_hex_bytes(const std::string& text, std::vector<std::uint8_t>& out) {
  out.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ',' || text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    int high = hex_value(text[i]), low = hex_value(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    i += 2;
  }
  return true;
}

bool read_data(const std::string& text, std::vector<std::uint8_t>& out) {
  if (!text.empty() && text[0] == '"') {
    std::size_t at = 0;
    std::string value;
    if (!read_quoted(text, at, value) || !trim(text.substr(at)).empty()) return false;
    out.assign(value.begin(), value.end());
    out.push_back(0);
    return true;
  }
  if (text.rfind("dword:", 0) == 0) {
    std::string digits = text.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t v = 0;
    for (char c : digits) {
      int d = hex_value(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    out = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
           static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    return true;
  }
  if (text.rfind("hex", 0) == 0) {
    auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    return read_hex_bytes(text.substr(colon + 1), out);
  }
  return false;
}

}  // namespace

RegistryNode* RegistryNode::find(const std::string& key) const {
  for (const auto& sub : subkeys)
    if (same_name(sub->name, key)) return sub.get();
  return nullptr;
}

RegistryNode& RegistryNode::make(const std::string& key) {
  if (auto* found = find(key)) return *found;
  auto node = std::make_unique<RegistryNode>();
  node->name = key;
  auto at = std::find_if(subkeys.begin(), subkeys.end(),
                         [&](const auto& sub) { return sorts_before(key, sub->name); });
  return **subkeys.insert(at, std::move(node));
}

const std::vector<std::uint8_t>* RegistryNode::value(const std::string& key) const {
  for (const auto& [name, data] : values)
    if (same_name(name, key)) return &data;
  return nullptr;
}

RegistryFile::RegistryFile() = default;
RegistryFile::~RegistryFile() = default;

RegistryNode* RegistryFile::walk(RegistryNode* from, const std::string& path, bool make) {
  std::size_t start = 0;
  while (from && start <= path.size()) {
    auto end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (!part.empty()) from = make ? &from->make(part) : from->find(part);
    start = end + 1;
  }
  return from;
}

RegistryNode* RegistryFile::root_node(const std::string& name, bool make) {
  std::string canonical = name;
  if (same_name(name, "HKLM")) canonical = "HKEY_LOCAL_MACHINE";
  if (same_name(name, "HKCC")) canonical = "HKEY_CURRENT_CONFIG";
  if (same_name(name, "HKCR")) canonical = "HKEY_CLASSES_ROOT";
  return make ? &roots_.make(canonical) : roots_.find(canonical);
}

bool RegistryFile::parse(const std::string& text) {
  std::istringstream in(text);
  std::string line, pending;
  RegistryNode* current = nullptr;
  bool first = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Hex data may continue on the next line after a backslash.
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      pending += line.substr(0, line.size() - 1);
      continue;
    }
    if (!pending.empty()) {
      line = pending + trim(line);
      pending.clear();
    }
    std::string t = trim(line);
    if (first) {
      first = false;
      if (t == "REGEDIT4" || t.rfind("Windows Registry Editor", 0) == 0) continue;
    }
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      if (t.back() != ']') return false;
      std::string path = t.substr(1, t.size() - 2);
      if (!path.empty() && path[0] == '-') {
        current = nullptr;  // deletions are not kept
        continue;
      }
      auto slash = path.find('\\');
      RegistryNode* root = root_node(path.substr(0, slash), true);
      current = slash == std::string::npos ? root : walk(root, path.substr(slash + 1), true);
      continue;
    }
    if (!current) continue;
    std::string name;
    std::size_t at = 0;
    if (t[0] == '@') {
      at = 1;
    } else if (!read_quoted(t, at, name)) {
      return false;
    }
    if (at >= t.size() || t[at] != '=') return false;
    std::vector<std::uint8_t> data;
    if (!read_data(trim(t.substr(at + 1)), data)) return false;
    auto existing = std::find_if(current->values.begin(), current->values.end(),
                                 [&](const auto& v) { return same_name(v.first, name); });
    if (existing != current->values.end()) existing->second = data;
    else current->values.emplace_back(name, data);
  }
  return true;
}

bool RegistryFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  return parse(text.str());
}

const RegistryNode* RegistryFile::node(const std::string& full_path) const {
  auto slash = full_path.find('\\');
  auto* self = const_cast<RegistryFile*>(this);
  RegistryNode* root = self->root_node(full_path.substr(0, slash), false);
  if (!root || slash == std::string::npos) return root;
  return self->walk(root, full_path.substr(slash + 1), false);
}

RegistryNode* RegistryFile::handle_node(platform::RegistryKey key) const {
  auto it = open_.find(key);
  return it == open_.end() ? nullptr : it->second;
}

bool RegistryFile::open_key(platform::RegistryRoot root, const std::string& path,
                            platform::RegistryKey& key) {
  const char* name = root == platform::RegistryRoot::LocalMachine    ? "HKEY_LOCAL_MACHINE"
                     : root == platform::RegistryRoot::CurrentConfig ? "HKEY_CURRENT_CONFIG"
                                                                     : "HKEY_CLASSES_ROOT";
  RegistryNode* found = walk(root_node(name, false), path, false);
  if (!found) return false;
  key = next_key_++;
  open_[key] = found;
  return true;
}

bool RegistryFile::open_subkey(platform::RegistryKey parent, const std::string& path,
                               platform::RegistryKey& key) {
  RegistryNode* found = walk(handle_node(parent), path, false);
  if (!found) return false;
  key = next_key_++;
  open_[key] = found;
  return true;
}

bool RegistryFile::enum_subkey(platform::RegistryKey key, std::uint32_t index,
                               std::size_t buffer_size, std::string& name) {
  RegistryNode* node = handle_node(key);
  if (!node || index >= node->subkeys.size()) return false;
  const std::string& found = node->subkeys[index]->name;
  if (found.size() + 1 > buffer_size) return false;
  name = found;
  return true;
}

bool RegistryFile::query_value(platform::RegistryKey key, const std::string& name,
                               std::size_t buffer_size, std::vector<std::uint8_t>& data) {
  RegistryNode* node = handle_node(key);
  if (!node) return false;
  const auto* value = node->value(name);
  if (!value || value->size() > buffer_size) return false;
  data = *value;
  return true;
}

void RegistryFile::close_key(platform::RegistryKey key) { open_.erase(key); }

}  // namespace devov::emulator
