// The program's own resources read from its executable: the string table and
// the embedded firmware texts of type "FIRMWARE".
#pragma once

#include "platform/resources.h"

namespace devov::win32 {

class Win32Resources : public platform::Resources {
 public:
  std::optional<std::string> string(int id) override;
  std::optional<std::string_view> firmware_text(int id) override;
};

// Loads a string-table entry of the executable, at most 511 characters;
// nothing when the table has no such entry.
std::optional<std::string> load_string(int id);

}  // namespace devov::win32
