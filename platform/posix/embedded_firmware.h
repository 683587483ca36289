// The firmware texts compiled into the POSIX program, by resource id.
#pragma once

#include <span>
#include <string_view>

namespace devov::posix {

struct EmbeddedText {
  int id;
  std::string_view text;
};

std::span<const EmbeddedText> embedded_firmware();

}  // namespace devov::posix
