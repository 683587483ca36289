// The fixture of the adapter tests: the fake platform with the recording
// request library in place of the start-up fake, and the registry file the
// test fills from .reg text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/support/recording_library.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {

// The network-class key of the NT family from version 5 on.
inline constexpr const char* kNt5ClassKey =
    "System\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

class AdapterTest : public ShellTest {
 protected:
  AdapterTest() { platform::install(services); }

  // Reads REGEDIT4 text into the registry; the test fails if it does not parse.
  void load_registry(const std::string& text) { ASSERT_TRUE(fake.registry.parse(text)); }

  // One adapter on an NT 5 host, subkey 0000, with a driver that opens as
  // "\Device\{6271}" and accepts every request.
  void add_one_adapter();

  // Keys opened and not closed again.
  int keys_left_open() const { return fake.registry_calls.opened - fake.registry_calls.closed; }

  RecordingLibrary library;
  platform::Services services{fake.boxes,   fake.clock,   fake.system,   fake.process,
                              fake.resources, fake.link,  fake.drive_c,  library,
                              fake.dialogs, fake.registry_calls, fake.events, fake.progress};
};

}  // namespace devov::test
