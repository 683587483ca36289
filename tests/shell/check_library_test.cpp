// The start-up check of the request library, and the disabled start-up that
// follows when the library is missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "adapter/adapter_session.h"
#include "resources/resource_ids.h"
#include "shell/run_options.h"
#include "shell/update_app.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

constexpr const char* kPrivilegesText =
    "The system reports that you have insufficient privileges to load the required "
    "driver. \r\n\r\n 1. You may need to log on as an administrator.\r\n\r\n 2. Ensure "
    "the system files are not being accessed from a network drive. (search for "
    "\"ISW32N50\" in the registry)";

struct LibraryCase {
  const char* name;
  std::uint32_t last_error;
  bool present;
  const char* text;  // nullptr: no box
  const char* caption;
};

const LibraryCase kLibraryCases[] = {
    {"InvalidHandleMeansPresent", 6, true, nullptr, nullptr},
    {"LowByteSixMeansPresent", 0x106, true, nullptr, nullptr},
    {"AccessDenied", 5, false, kPrivilegesText, "Startup Error"},
    {"FileNotFound", 2, false, "Error loading system files: File Not Found.",
     "Startup Error"},
    {"OtherCodeInUpperCaseHex", 0x1F, false, "W32N error code: 1F",
     "Unable to load necessary system files."},
    {"ZeroIsAnOtherCode", 0, false, "W32N error code: 0",
     "Unable to load necessary system files."},
    {"LowByteFiveIsNotAccessDenied", 0x105, false, "W32N error code: 105",
     "Unable to load necessary system files."},
    {"WideCodeInFull", 0xC0010017, false, "W32N error code: C0010017",
     "Unable to load necessary system files."},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LibraryCase& c, std::ostream* out) { *out << c.name; }

class CheckLibrary : public ShellTest,
                     public ::testing::WithParamInterface<LibraryCase> {};

TEST_P(CheckLibrary, AnswersFromTheLastErrorOfTheCheckOpen) {
  const LibraryCase& c = GetParam();
  fake.library.check_error = c.last_error;
  AdapterSession session;

  EXPECT_EQ(session.check_library(), c.present);

  EXPECT_EQ(fake.library.opened, std::vector<std::string>{"Check for VXD..."});
  if (!c.text) {
    EXPECT_TRUE(fake.boxes.calls.empty());
    EXPECT_EQ(log_text(), "");
    return;
  }
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  const BoxCall& box = fake.boxes.calls[0];
  EXPECT_EQ(box.text, c.text);
  EXPECT_EQ(box.caption, std::optional<std::string>(c.caption));
  EXPECT_EQ(box.style, platform::kBoxIconError);
  EXPECT_EQ(box.owner, platform::BoxOwner::MainWindow);
  EXPECT_EQ(log_text(), std::string(c.caption) + ":" + c.text + "\n");
}

INSTANTIATE_TEST_SUITE_P(LastErrors, CheckLibrary, ::testing::ValuesIn(kLibraryCases),
                         [](const auto& info) { return std::string(info.param.name); });

using MissingLibrary = ShellTest;

TEST_F(MissingLibrary, StartUpOffersOnlyExitAndIgnoresTheCommandLine) {
  fake.library.check_error = FakeRequestLibrary::kErrorFileNotFound;
  ScriptedSteps steps;
  std::optional<int> outcome_before_exit;
  fake.dialogs.user = [&](platform::DialogHandler& handler, platform::ViewState& view) {
    outcome_before_exit = view.outcome();
    handler.on_command(IDC_CANCEL);
  };

  const int status =
      UpdateApp().run({"prog", "-quiet", "-repeat", "2", "-nolog", "a.hex"}, steps);

  const platform::ViewState& view = *fake.dialogs.view;
  EXPECT_FALSE(fake.dialogs.ended_during_init) << "shown even with -quiet";
  EXPECT_EQ(view.control(IDC_STATUS_BOX)->text,
            "Could not find/load the necessary system files. Functionality is disabled.");
  EXPECT_EQ(view.status_color(), 255u);
  EXPECT_FALSE(view.control(IDC_CONTINUE)->enabled);
  EXPECT_EQ(view.control(IDC_CANCEL)->text, "Exit");
  EXPECT_TRUE(view.control(IDC_CANCEL)->enabled);
  // Nothing after the check: no fonts, no caution text, no command line, no
  // manifest, no pre-check.
  EXPECT_FALSE(view.control(IDC_STATUS_BOX)->font.has_value());
  EXPECT_EQ(view.control(IDC_CAUTION_BOX)->text, "");
  EXPECT_TRUE(steps.events.empty());
  EXPECT_EQ(
      log_text(),
      start_lines() + "Startup Error:Error loading system files: File Not Found.\n");
  const RunOptions& options = run_options();
  EXPECT_FALSE(options.quiet);
  EXPECT_FALSE(options.repeat_requested);
  EXPECT_TRUE(options.log_enabled);
  EXPECT_FALSE(options.files_on_command_line);
  ASSERT_EQ(fake.boxes.calls.size(), 1u) << "the check's own box";

  EXPECT_EQ(outcome_before_exit, std::nullopt);
  EXPECT_EQ(view.outcome(), std::optional<int>(platform::kOutcomeCancel));
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace devov::test
