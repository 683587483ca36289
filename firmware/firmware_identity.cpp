// The version triple: comparison and text.
#include "firmware/firmware_identity.h"

namespace devov {

int FirmwareIdentity::compare(const FirmwareIdentity& other) const {
  if (major != other.major) return int{major} - int{other.major};
  if (minor != other.minor) return int{minor} - int{other.minor};
  return int{variant} - int{other.variant};
}

std::string FirmwareIdentity::to_text() const {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(variant);
}

}  // namespace devov
