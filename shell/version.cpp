#include "shell/version.h"

#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace devov {

std::string version_number() {
  return platform::services().resources.string(IDS_VERSION_NUMBER).value_or("");
}

std::string build_date() { return __DATE__; }

std::string version_text() {
  return "Version " + version_number() + " (" + build_date() + ")";
}

}  // namespace devov
