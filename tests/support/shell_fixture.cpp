// The shell test fixture.
#include "tests/support/shell_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "shell/flash_log.h"
#include "shell/run_options.h"
#include "shell/version.h"

namespace devov::test {

void reset_process_state() {
  run_options() = {};
  flash_log().reset();
}

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("devov-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ShellTest::ShellTest() {
  reset_process_state();
  fake.drive_c.folder = drive.path();
}

ShellTest::~ShellTest() { reset_process_state(); }

std::filesystem::path ShellTest::log_path() const {
  return fake.drive_c.folder / kLogFileName;
}

std::string ShellTest::log_text() const {
  flash_log().flush();
  std::ifstream in(log_path(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ShellTest::log_exists() const { return std::filesystem::exists(log_path()); }

std::string ShellTest::expected_version_text() {
  return "Version 0.6.16 (" + build_date() + ")";
}

std::string ShellTest::start_lines() {
  return "6271DEVOV" + expected_version_text() +
         "\nTime of flash utility execution: Wednesday, January 15, 2003  18:26:40\n";
}

}  // namespace devov::test
