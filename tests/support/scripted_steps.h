// Workflow steps for the tests: each call is recorded in order, the
// pre-check and every programming request act as the test scripts them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "shell/update_steps.h"
#include "tests/support/fake_platform.h"

namespace devov::test {

// Thrown by ScriptedSteps when a loop asks for far more requests than any
// case scripts, so that a runaway loop fails its test instead of hanging it.
struct RunawayLoop {
  int requests;
};

class ScriptedSteps : public UpdateSteps {
 public:
  static constexpr int kMaxRequests = 100;

  void add_file(UpdateFlashDialog& dialog, const std::string& path,
                int resource_id) override;
  void show_manifest(UpdateFlashDialog& dialog) override;
  int pre_check(UpdateFlashDialog& dialog) override;
  void on_continue(UpdateFlashDialog& dialog) override;
  void select_embedded_firmware(UpdateFlashDialog& dialog) override;

  // Run by pre_check when set; its answer is the plan. Otherwise 0.
  std::function<int(UpdateFlashDialog&)> pre_check_action;
  // One entry per request: true when that request completes programming,
  // which sets the dialog's last_result to 1. Requests beyond the list, and
  // false entries, leave last_result as it is.
  std::vector<bool> completes;
  // When set, each request records how many sleeps the clock had seen
  // before it ran.
  const FakeClock* clock = nullptr;

  std::vector<std::string> events;
  int requests = 0;
  std::vector<std::size_t> sleeps_before_request;
};

}  // namespace devov::test
