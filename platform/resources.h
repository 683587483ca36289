// The program's own resources: the string table and the embedded firmware
// texts, each found by its integer id.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace devov::platform {

class Resources {
 public:
  virtual ~Resources() = default;
  // A string-table entry; nothing when the table has no such id.
  virtual std::optional<std::string> string(int id) = 0;
  // An embedded firmware text of type "FIRMWARE"; nothing when absent. The
  // view stays valid for the life of the process.
  virtual std::optional<std::string_view> firmware_text(int id) = 0;
};

}  // namespace devov::platform
