// 6271devov-tool COMMAND [ARGUMENTS]: runs one command of the tool.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/devov_tool/command.h"

namespace {

std::vector<devov::tool::Command> all_commands() {
  std::vector<devov::tool::Command> commands;
  for (auto group : {devov::tool::inspect_commands, devov::tool::host_commands}) {
    auto more = group();
    commands.insert(commands.end(), more.begin(), more.end());
  }
  return commands;
}

int usage(const std::vector<devov::tool::Command>& commands, std::FILE* out) {
  std::fprintf(out, "usage: 6271devov-tool COMMAND [ARGUMENTS]\n\ncommands:\n");
  for (const auto& c : commands) std::fprintf(out, "  %s %s\n", c.name, c.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const auto commands = all_commands();
  if (argc < 2) return usage(commands, stderr);
  if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help")) {
    usage(commands, stdout);
    return 0;
  }
  for (const auto& c : commands)
    if (argv[1] == std::string(c.name)) return c.run({argv + 2, argv + argc});
  std::fprintf(stderr, "6271devov-tool: unknown command '%s'\n", argv[1]);
  return usage(commands, stderr);
}
