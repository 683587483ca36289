// The command-line grammar: what each argument vector sets in RunOptions,
// which files each reading queues, and the echo it leaves in the log.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/view_state.h"
#include "shell/run_options.h"
#include "shell/update_flash_dialog.h"
#include "shell/update_steps.h"
#include "shell/version.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

std::string describe(const RunOptions& o) {
  std::ostringstream out;
  out << "log_enabled=" << o.log_enabled << " quiet=" << o.quiet
      << " force_update=" << o.force_update << " refresh_primary=" << o.refresh_primary
      << " files_on_command_line=" << o.files_on_command_line
      << " battery_ok=" << o.battery_ok << " repeat_requested=" << o.repeat_requested
      << " repeat_count=" << o.repeat_count << " delay_requested=" << o.delay_requested
      << " delay_seconds=" << o.delay_seconds
      << " manifest_requested=" << o.manifest_requested;
  return out.str();
}

struct GrammarCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program name "prog"
  RunOptions options;                  // after the first reading
  std::vector<std::string> first_files;
  std::vector<std::string> second_files;
  // The log after the two start lines; "{version}" stands for the version text.
  std::string echo;
};

std::string with_version(std::string text, const std::string& version) {
  const std::string token = "{version}";
  for (auto at = text.find(token); at != std::string::npos; at = text.find(token))
    text.replace(at, token.size(), version);
  return text;
}

const GrammarCase kGrammar[] = {
    {"NoArguments", {}, {}, {}, {}, "Command Line: prog\n\n"},
    {"OptionNamesIgnoreCase",
     {"-QUIET"},
     {.quiet = true},
     {},
     {},
     "Command Line: prog -QUIET\n\n"},
    {"RepeatConsumesItsValue",
     {"-repeat", "5"},
     {.repeat_requested = true, .repeat_count = 5},
     {},
     {},
     "Command Line: prog -repeat5\n\n"},
    {"RepeatWithoutDigitsCountsZero",
     {"-Repeat", "five"},
     {.repeat_requested = true, .repeat_count = 0},
     {},
     {},
     "Command Line: prog -Repeatfive\n\n"},
    {"ValueArgumentIsNeverAnOption",
     {"-repeat", "-quiet"},
     {.repeat_requested = true, .repeat_count = 0},
     {},
     {},
     "Command Line: prog -repeat-quiet\n\n"},
    {"DelayConsumesItsValue",
     {"-delay", "2"},
     {.delay_requested = true, .delay_seconds = 2},
     {},
     {},
     "Command Line: prog -delay2\n\n"},
    {"LaterRepeatOverridesEarlier",
     {"-repeat", "3", "-repeat", "7"},
     {.repeat_requested = true, .repeat_count = 7},
     {},
     {},
     "Command Line: prog -repeat3 -repeat7\n\n"},
    {"VerboseAfterQuietLeavesQuietOff",
     {"-quiet", "-verbose"},
     {.quiet = false},
     {},
     {},
     "Command Line: prog -quiet -verbose\n\n"},
    {"QuietAfterVerboseTurnsQuietOn",
     {"-verbose", "-quiet"},
     {.quiet = true},
     {},
     {},
     "Command Line: prog -verbose -quiet\n\n"},
    {"NologStopsTheEchoAfterItself",
     {"-nolog", "a.hex", "-quiet"},
     {.log_enabled = false, .quiet = true, .files_on_command_line = true},
     {"a.hex"},
     {"a.hex"},
     "Command Line: prog -nolog"},
    {"LogAfterNologSwitchesTheEchoBackOn",
     {"-nolog", "a.hex", "-log", "b.hex"},
     {.log_enabled = true, .files_on_command_line = true},
     {"a.hex", "b.hex"},
     {"a.hex", "b.hex"},
     "Command Line: prog -nolog b.hex\n\n"},
    {"LogOptionIsEchoed", {"-log"}, {}, {}, {}, "Command Line: prog -log\n\n"},
    {"DebugWritesWholeCommandLineAndVersion",
     {"-repeat", "3", "-debug", "x.hex"},
     {.files_on_command_line = true, .repeat_requested = true, .repeat_count = 3},
     {"x.hex"},
     {"x.hex"},
     "Command Line: prog -repeat3 -debugCommand Line:prog -repeat 3 -debug x.hex \n"
     "{version}\n x.hex\n\n"},
    {"DashFileIsQueuedOnlyByFirstReading",
     {"-file.hex"},
     {.files_on_command_line = true},
     {"-file.hex"},
     {},
     "Command Line: prog -file.hex\n\n"},
    {"UnknownOptionsAreFiles",
     {"-help", "/quiet"},
     {.quiet = false, .files_on_command_line = true},
     {"-help", "/quiet"},
     {"/quiet"},
     "Command Line: prog -help /quiet\n\n"},
    {"NearMissOfAnOptionIsAFile",
     {"-quietly"},
     {.quiet = false, .files_on_command_line = true},
     {"-quietly"},
     {},
     "Command Line: prog -quietly\n\n"},
    {"BatteryOk",
     {"-batteryOK"},
     {.battery_ok = true},
     {},
     {},
     "Command Line: prog -batteryOK\n\n"},
    {"Manifest",
     {"-manifest"},
     {.manifest_requested = true},
     {},
     {},
     "Command Line: prog -manifest\n\n"},
    {"ForceUpdate",
     {"-ForceUpdate"},
     {.force_update = true},
     {},
     {},
     "Command Line: prog -ForceUpdate\n\n"},
    {"RefreshPrimary",
     {"-RefreshPrimary"},
     {.refresh_primary = true},
     {},
     {},
     "Command Line: prog -RefreshPrimary\n\n"},
    {"FlagOptionsIgnoreCase",
     {"-BATTERYok", "-Manifest", "-forceupdate", "-REFRESHPRIMARY"},
     {.force_update = true,
      .refresh_primary = true,
      .battery_ok = true,
      .manifest_requested = true},
     {},
     {},
     "Command Line: prog -BATTERYok -Manifest -forceupdate -REFRESHPRIMARY\n\n"},
    {"PercentInFileNameIsEchoedUnchanged",
     {"50%x%s%u.hex"},
     {.files_on_command_line = true},
     {"50%x%s%u.hex"},
     {"50%x%s%u.hex"},
     "Command Line: prog 50%x%s%u.hex\n\n"},
    {"FilesBetweenOptionsKeepTheirOrder",
     {"a.hex", "-repeat", "3", "b.hex", "-delay", "1", "c.pda"},
     {.files_on_command_line = true,
      .repeat_requested = true,
      .repeat_count = 3,
      .delay_requested = true,
      .delay_seconds = 1},
     {"a.hex", "b.hex", "c.pda"},
     {"a.hex", "b.hex", "c.pda"},
     "Command Line: prog a.hex -repeat3 b.hex -delay1 c.pda\n\n"},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GrammarCase& c, std::ostream* out) { *out << c.name; }

class CommandLineGrammar : public ShellTest,
                           public ::testing::WithParamInterface<GrammarCase> {};

std::vector<std::string> paths_from(const PendingSteps& steps, std::size_t first) {
  std::vector<std::string> paths;
  for (std::size_t i = first; i < steps.files.size(); ++i) {
    EXPECT_EQ(steps.files[i].second, 0) << "file on disk " << steps.files[i].first;
    paths.push_back(steps.files[i].first);
  }
  return paths;
}

TEST_P(CommandLineGrammar, SetsOptionsQueuesFilesAndEchoes) {
  const GrammarCase& c = GetParam();
  std::vector<std::string> arguments{"prog"};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
  PendingSteps steps;
  UpdateFlashDialog dialog(arguments, steps);
  dialog.caption = kCaption;
  platform::ViewState view;
  dialog.on_init(view);

  // Compared before any quiet run can touch the options: these rows hold no
  // repeat together with -quiet, so the loop leaves them as read.
  EXPECT_EQ(describe(run_options()), describe(c.options));
  EXPECT_EQ(paths_from(steps, 0), c.first_files);
  const std::string log = log_text();
  EXPECT_EQ(log, start_lines() + with_version(c.echo, expected_version_text()));

  const RunOptions after_first = run_options();
  const std::size_t queued = steps.files.size();
  add_command_line_files(dialog);
  EXPECT_EQ(paths_from(steps, queued), c.second_files);
  EXPECT_EQ(log_text(), log) << "the second reading writes nothing";
  RunOptions expected_after_second = after_first;
  expected_after_second.files_on_command_line =
      after_first.files_on_command_line || !c.second_files.empty();
  EXPECT_EQ(describe(run_options()), describe(expected_after_second));
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineGrammar, ::testing::ValuesIn(kGrammar),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadOptionValue, ReadsLeadingSignedDecimalAndClamps) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"5", 5},
      {"0042", 42},
      {"  12", 12},
      {"\t7", 7},
      {"+5", 5},
      {"-2", -2},
      {" -3x", -3},
      {"12abc", 12},
      {"5 6", 5},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"- 5", 0},
      {"x12", 0},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"99999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"-99999999999999999999", INT_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(read_option_value(c.text), c.value) << "\"" << c.text << "\"";
}

}  // namespace
}  // namespace devov::test
