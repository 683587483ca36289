#include "tools/devov_tool/tool_platform.h"

namespace devov::tool {

ToolPlatform::ToolPlatform() { platform::install(services_); }

}  // namespace devov::tool
