// The process-wide pointer to the platform services.
#include "platform/platform.h"

namespace devov::platform {
namespace {
Services* installed = nullptr;
}

Services& services() { return *installed; }
void install(Services& s) { installed = &s; }

}  // namespace devov::platform
