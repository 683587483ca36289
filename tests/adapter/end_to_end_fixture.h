// The fixture of the end-to-end adapter tests: a virtual host in a
// temporary folder with the adapters a test adds, the real emulated library
// on it installed in the fake platform, and the main dialog initialised over
// a test view. A test asserts on the adapter's trace and flash.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/adapter_description.h"
#include "emulator/emulated_library.h"
#include "emulator/virtual_host.h"
#include "platform/platform.h"
#include "platform/view_state.h"
#include "shell/update_flash_dialog.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {

// One line of an adapter's trace.
struct TraceLine {
  std::string text;
  std::string kind;  // "request", "open", "close", "restart"
  std::string type;  // "query" or "set"
  std::uint32_t oid = 0;
  std::uint32_t length = 0;
  std::optional<std::uint32_t> address;
  std::optional<std::uint32_t> n;
  std::uint32_t status = 0;
  bool faulted = false;
};

class EndToEnd : public ShellTest {
 protected:
  EndToEnd();
  ~EndToEnd() override;

  // A host of that system without adapters; then add the adapters.
  void make_host(const std::string& os_family = "nt", std::uint32_t os_major = 5);
  void add(const std::string& name, emulator::AdapterDescription description = {},
           const emulator::ProductionData& data = {});
  // Makes the library over the host as it now stands and initialises the
  // dialog: what one run of the program does first.
  void start();

  // The adapter's trace, and its request lines of one OID.
  std::vector<TraceLine> trace(const std::string& name) const;
  std::vector<TraceLine> requests(const std::string& name, std::uint32_t oid) const;
  // The aux writes that carry data.
  std::vector<TraceLine> block_writes(const std::string& name) const;
  std::vector<std::uint8_t> flash(const std::string& name) const;
  // Forgets what the trace holds so far.
  void clear_trace(const std::string& name) const;

  // What the log received since the dialog's initialisation.
  std::string new_log() const { return log_text().substr(log_mark_); }

  // Runs `action` with standard output captured and dropped.
  template <typename Action>
  auto quietly(Action action) {
    testing::internal::CaptureStdout();
    auto result = action();
    testing::internal::GetCapturedStdout();
    return result;
  }

  // Detects with the automatic selection, as the pre-check does.
  void detect() {
    quietly([&] {
      dialog.detect_adapters(true);
      return 0;
    });
  }

  TempFolder host;
  std::unique_ptr<emulator::EmulatedLibrary> library;
  std::optional<platform::Services> services;
  ScriptedSteps steps;
  platform::ViewState view;
  UpdateFlashDialog dialog{{"6271devov"}, steps};

 private:
  std::size_t log_mark_ = 0;
};

}  // namespace devov::test
