// Fakes of the platform services for the native tests: each answers from a
// script the test sets and records what the program asked of it.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "emulator/registry_file.h"
#include "platform/platform.h"
#include "tests/support/fake_dialog_host.h"

namespace devov::test {

struct BoxCall {
  platform::BoxOwner owner;
  std::string text;
  std::optional<std::string> caption;
  unsigned style;
};

// Message boxes that answer from a queue (OK once it is empty).
class FakeMessageBoxes : public platform::MessageBoxes {
 public:
  int show(platform::BoxOwner owner, const std::string& text,
           const std::optional<std::string>& caption, unsigned style) override;

  std::deque<int> answers;
  std::vector<BoxCall> calls;
};

// A clock that stands still and only records how long it was asked to sleep.
class FakeClock : public platform::Clock {
 public:
  platform::LocalTime now() override { return time; }
  void sleep_ms(std::uint32_t milliseconds) override { sleeps.push_back(milliseconds); }

  // Wednesday, January 15, 2003 18:26:40.
  platform::LocalTime time{2003, 1, 15, 3, 18, 26, 40};
  std::vector<std::uint32_t> sleeps;
};

class FakeSystemInfo : public platform::SystemInfo {
 public:
  platform::OsVersion os_version() override { return os; }
  platform::PowerStatus power_status() override { return power; }

  platform::OsVersion os;
  platform::PowerStatus power{true, 1};
};

// What FakeProcessControl throws in place of ending the process.
struct ProcessExit {
  int status;
};

class FakeProcessControl : public platform::ProcessControl {
 public:
  [[noreturn]] void exit_process(int status) override { throw ProcessExit{status}; }
  void flush_all() override { ++flushes; }

  int flushes = 0;
};

// The program's own string table; firmware texts from a map the test fills.
class FakeResources : public platform::Resources {
 public:
  std::optional<std::string> string(int id) override;
  std::optional<std::string_view> firmware_text(int id) override;

  std::map<int, std::string> firmware;
};

// A single-instance link that finds a running instance when told to, and
// records every call in order.
class FakeInstanceLink : public platform::InstanceLink {
 public:
  bool find_running(const std::string& caption) override;
  void bring_to_front() override;
  bool hand_over(int argument_count, const std::string& argument) override;

  bool running = false;
  std::vector<std::string> events;
};

// Drive C is a folder of the test's choosing.
class FakeDriveC : public platform::DriveC {
 public:
  std::string path_of(const std::string& file_name) override;

  std::filesystem::path folder;
};

// The request library as far as start-up needs it: opening the check name
// leaves `check_error` as the last error.
class FakeRequestLibrary : public platform::RequestLibrary {
 public:
  static constexpr const char* kCheckName = "Check for VXD...";
  static constexpr std::uint32_t kErrorFileNotFound = 2;
  static constexpr std::uint32_t kErrorInvalidHandle = 6;

  bool is_windows_nt() override { return true; }
  bool is_windows_95() override { return false; }
  std::uint32_t os_get_platform_version(std::uint32_t) override { return 5; }
  std::uint32_t get_adapter_registry_info(void* record, const char* subkey) override;
  platform::AdapterHandle open_adapter(const char* open_name) override;
  std::uint32_t get_last_error() override { return last_error_; }
  void close_adapter(platform::AdapterHandle) override {}
  std::uint32_t make_ndis_request(platform::AdapterHandle, void*, void*,
                                  std::uint32_t) override;

  std::uint32_t check_error = kErrorInvalidHandle;
  std::vector<std::string> opened;

 private:
  std::uint32_t last_error_ = 0;
};

// Events that count what was made, cleared and released.
class FakeEvents : public platform::Events {
 public:
  platform::EventHandle create_event() override;
  void reset_event(platform::EventHandle event) override;
  void close_event(platform::EventHandle event) override;

  bool fail_create = false;
  int created = 0, resets = 0, closed = 0;

 private:
  int token_ = 0;
};

// Every fake, bundled as the services the program reaches; installs itself.
struct FakePlatform {
  FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  FakeMessageBoxes boxes;
  FakeClock clock;
  FakeSystemInfo system;
  FakeProcessControl process;
  FakeResources resources;
  FakeInstanceLink link;
  FakeDriveC drive_c;
  FakeRequestLibrary library;
  FakeDialogHost dialogs;
  emulator::RegistryFile registry;
  FakeEvents events;
  platform::Services services{boxes,   clock,   system,  process,  resources, link,
                              drive_c, library, dialogs, registry, events};
};

}  // namespace devov::test
