// The commands of 6271devov-tool, the developers' and testers' companion of
// the POSIX program. Each command runs the program's own code.
#pragma once

#include <string>
#include <vector>

namespace devov::tool {

struct Command {
  const char* name;
  const char* usage;  // one line: arguments and what it does
  int (*run)(const std::vector<std::string>& arguments);
};

// Each command group lists its commands here.
std::vector<Command> inspect_commands();
std::vector<Command> host_commands();

}  // namespace devov::tool
