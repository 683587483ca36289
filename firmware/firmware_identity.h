// FirmwareIdentity: which firmware a file or the adapter carries, with its
// version triple major.minor.variant.
#pragma once

#include <cstdint>
#include <string>

namespace devov {

inline constexpr std::uint16_t kPrimaryComponentId = 21;
inline constexpr std::uint16_t kStationComponentId = 31;

struct FirmwareIdentity {
  bool present = false;
  std::uint16_t component_id = 0;
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t variant = 0;

  // Negative when this triple is older than the other's, 0 when equal,
  // positive when newer; compared major, then minor, then variant.
  int compare(const FirmwareIdentity& other) const;

  // The triple in decimal joined by dots, for example "1.5.6".
  std::string to_text() const;
};

}  // namespace devov
