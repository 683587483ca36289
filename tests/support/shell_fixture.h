// The fixture of the shell tests: a fresh fake platform with drive C in a
// temporary folder of its own, and the process-wide state reset as if each
// test were a new process.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

namespace devov::test {

// Puts run_options() and the log back as a new process finds them.
void reset_process_state();

// A folder under the system's temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ShellTest : public ::testing::Test {
 protected:
  ShellTest();
  ~ShellTest() override;

  std::filesystem::path log_path() const;
  // The log file's contents so far ("" when it does not exist).
  std::string log_text() const;
  bool log_exists() const;

  // The two lines every started dialog writes first, with the fake clock's
  // time: the program name with the version text, then the start time.
  static std::string start_lines();
  // "Version 0.6.16 (" + build date + ")".
  static std::string expected_version_text();

  TempFolder drive;
  FakePlatform fake;
};

}  // namespace devov::test
