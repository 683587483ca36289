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

// The registry file behind a recorder: every key opened and closed is
// counted, so a test can see that none is left open.
class RecordingRegistry : public platform::Registry {
 public:
  explicit RecordingRegistry(platform::Registry& inner) : inner_(inner) {}

  bool open_key(platform::RegistryRoot root, const std::string& path,
                platform::RegistryKey& key) override;
  bool open_subkey(platform::RegistryKey parent, const std::string& path,
                   platform::RegistryKey& key) override;
  bool enum_subkey(platform::RegistryKey key, std::uint32_t index, std::size_t buffer_size,
                   std::string& name) override {
    return inner_.enum_subkey(key, index, buffer_size, name);
  }
  bool query_value(platform::RegistryKey key, const std::string& name,
                   std::size_t buffer_size, std::vector<std::uint8_t>& data) override {
    return inner_.query_value(key, name, buffer_size, data);
  }
  void close_key(platform::RegistryKey key) override;

  int opened = 0, closed = 0;

 private:
  platform::Registry& inner_;
};

// The progress window as a record of every call, in order, as lines such as
// "create", "text 1033 <text>", "range 1035 0 3", "position 1035 1",
// "paint"; and the state those calls leave.
class FakeProgressWindow : public platform::ProgressWindow {
 public:
  bool create() override;
  void destroy() override;
  void center() override { calls.push_back("center"); }
  void show() override;
  void set_text(int control, const std::string& text) override;
  void hide_caret(int control) override;
  void set_progress_range(int control, int low, int high) override;
  void set_progress_position(int control, int position) override;
  void paint_now() override { calls.push_back("paint"); }

  std::vector<std::string> calls;
  bool exists = false, shown = false;
  std::map<int, std::string> texts;
  int low = 0, high = 0, position = 0;
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
  // The registry a test fills with parse(); reached through the recorder.
  emulator::RegistryFile registry;
  RecordingRegistry registry_calls{registry};
  FakeEvents events;
  FakeProgressWindow progress;
  platform::Services services{boxes,   clock,   system,  process,        resources,
                              link,    drive_c, library, dialogs,        registry_calls,
                              events,  progress};
};

}  // namespace devov::test
