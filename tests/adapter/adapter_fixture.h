// The fixtures of the adapter tests: the fake platform with the recording
// request library in place of the start-up fake, the registry file the test
// fills from .reg text, and a main dialog initialised over a test view.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/view_state.h"
#include "shell/update_flash_dialog.h"
#include "tests/support/recording_library.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {

// The network-class key of the NT family from version 5 on.
inline constexpr const char* kNt5ClassKey =
    "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

// The words of a sound PDA with these records (each its length word first):
// the records in code order, the end record with its CRC.
std::vector<std::uint16_t> pda_words(const std::vector<std::vector<std::uint16_t>>& records);
// Those words as the 1024 bytes of a PDA area, 0xFF after them.
std::vector<std::uint8_t> pda_area(const std::vector<std::uint16_t>& words);
// A text record: the code and the text two characters to a word.
std::vector<std::uint16_t> text_record(std::uint16_t code, const std::string& text);

class AdapterTest : public ShellTest {
 protected:
  AdapterTest() { platform::install(services); }

  // Reads REGEDIT4 text into the registry; the test fails if it does not parse.
  void load_registry(const std::string& text) { ASSERT_TRUE(fake.registry.parse(text)); }

  // Adapters on an NT 5 host, subkeys 0000, 0001, ...: adapter k is shown
  // as "Adapter k" and opens as "\Device\{k}" when `openable`.
  void add_adapters(int count, bool openable = true);
  // One adapter: subkey 0000, "Velk 6271 Wireless USB Adapter", opened as
  // "\Device\{6271}".
  void add_one_adapter();

  // Keys opened and not closed again.
  int keys_left_open() const { return fake.registry_calls.opened - fake.registry_calls.closed; }

  RecordingLibrary library;
  platform::Services services{fake.boxes,   fake.clock,   fake.system,   fake.process,
                              fake.resources, fake.link,  fake.drive_c,  library,
                              fake.dialogs, fake.registry_calls, fake.events, fake.progress};
};

// The main dialog after its initialisation over a test view, with the
// library present and scripted workflow steps.
class DialogTest : public AdapterTest {
 protected:
  DialogTest();

  // What the log received since the dialog's initialisation.
  std::string new_log() const { return log_text().substr(log_mark_); }
  // Calls `action` with standard output captured and dropped.
  template <typename Action>
  auto quietly(Action action) {
    testing::internal::CaptureStdout();
    auto result = action();
    testing::internal::GetCapturedStdout();
    return result;
  }

  ScriptedSteps steps;
  UpdateFlashDialog dialog{{"6271devov"}, steps};
  platform::ViewState view;

 private:
  std::size_t log_mark_ = 0;
};

}  // namespace devov::test
