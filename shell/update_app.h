// UpdateApp: the program's entry. Hands over to a running instance or runs
// the main dialog, and turns its outcome into the exit status.
#pragma once

#include <string>
#include <vector>

namespace devov {

class UpdateSteps;

class UpdateApp {
 public:
  // Answers the process exit status.
  int run(const std::vector<std::string>& arguments, UpdateSteps& steps);
};

// Builds the workflow steps of this program and runs it: the front ends'
// shared entry.
int run_program(const std::vector<std::string>& arguments);

}  // namespace devov
