// The log and the message box: formatting, appending across runs, silence
// when the file cannot be opened, what a box logs and answers, and the
// English time stamps.
#include "shell/flash_log.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <locale>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/view_state.h"
#include "shell/run_options.h"
#include "shell/update_app.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

TEST(FormatLogText, ReplacesOnlyItsThreeConversions) {
  const struct {
    const char* name;
    std::string actual;
    const char* expected;
  } cases[] = {
      {"text", format_log_text("name %s.", {"x.hex"}), "name x.hex."},
      {"unsigned", format_log_text("%u", {4294967295u}), "4294967295"},
      {"unsigned zero", format_log_text("%u", {0u}), "0"},
      {"signed as unsigned", format_log_text("%u", {-1}), "4294967295"},
      {"hex in lower case", format_log_text("%x", {0xBEEFu}), "beef"},
      {"hex without leading zeros", format_log_text("%x", {0x0F00u}), "f00"},
      {"hex zero", format_log_text("%x", {0u}), "0"},
      {"hex all bits", format_log_text("%x", {0xFFFFFFFFu}), "ffffffff"},
      {"arguments in order",
       format_log_text("PDR %x len %u in %s\n", {0x8u, 3u, "a.pda"}),
       "PDR 8 len 3 in a.pda\n"},
      {"percent inside a text argument", format_log_text("%s\n", {"50%x%s%u.hex"}),
       "50%x%s%u.hex\n"},
      {"other conversion copied", format_log_text("%d %s", {"a"}), "%d a"},
      {"conversion without argument copied", format_log_text("%s and %s", {"a"}),
       "a and %s"},
      {"trailing percent copied", format_log_text("100%", {}), "100%"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

using FlashLogTest = ShellTest;

TEST_F(FlashLogTest, LogMessageAppendsToWhatTheFileHolds) {
  std::ofstream(log_path()) << "earlier run\n";
  log_message("%s %x\n", {"a%d.hex", 255u});
  log_message("second line\n");
  EXPECT_EQ(log_text(), "earlier run\na%d.hex ff\nsecond line\n");
}

// Everything a person could see of the dialog after start-up.
std::string snapshot(const platform::ViewState& view) {
  std::ostringstream out;
  out << view.describe() << "icon " << view.icon() << "\ndrops "
      << view.accepts_dropped_files() << "\ntool tips " << view.tool_tips_enabled()
      << "\noutcome " << view.outcome().value_or(0) << "\n";
  for (const auto& [command, text] : view.system_menu())
    out << "menu " << command << " " << text << "\n";
  for (const auto& c : view.controls()) {
    if (c.font)
      out << "font " << c.control->id << " " << c.font->face << " "
          << c.font->tenths_of_point << "\n";
    for (const auto& column : c.columns)
      out << "column " << c.control->id << " " << column.heading << " " << column.width
          << "\n";
  }
  return out.str();
}

struct StartUp {
  int status;
  std::string view;
  std::vector<std::string> events;
  std::size_t boxes;
};

StartUp start_up(FakePlatform& fake, const std::vector<std::string>& arguments) {
  ScriptedSteps steps;
  fake.boxes.calls.clear();
  const int status = UpdateApp().run(arguments, steps);
  return {status, snapshot(*fake.dialogs.view), steps.events, fake.boxes.calls.size()};
}

// How drive C can refuse the log: a folder that does not exist, or a
// "flash.log" that cannot be opened as a file.
enum class Unwritable { MissingFolder, LogIsAFolder };

void PrintTo(Unwritable how, std::ostream* out) {
  *out << (how == Unwritable::MissingFolder ? "MissingFolder" : "LogIsAFolder");
}

class UnwritableLog : public ShellTest,
                      public ::testing::WithParamInterface<Unwritable> {};

TEST_P(UnwritableLog, StaysSilentAndLeavesStartUpUnchanged) {
  const std::vector<std::string> arguments{"prog", "a.hex", "-manifest"};
  const StartUp reference = start_up(fake, arguments);
  ASSERT_TRUE(log_exists());
  ASSERT_FALSE(flash_log().failed());

  reset_process_state();
  TempFolder other;
  if (GetParam() == Unwritable::MissingFolder) {
    fake.drive_c.folder = other.path() / "no such folder";
  } else {
    fake.drive_c.folder = other.path();
    std::filesystem::create_directory(other.path() / kLogFileName);
  }
  const StartUp refused = start_up(fake, arguments);

  EXPECT_TRUE(flash_log().failed());
  EXPECT_EQ(refused.boxes, 0u) << "no box tells about the log";
  EXPECT_EQ(refused.view, reference.view);
  EXPECT_EQ(refused.events, reference.events);
  EXPECT_EQ(refused.status, reference.status);

  // Once refused the log is not tried again, even when it could now open.
  std::filesystem::remove_all(other.path());
  std::filesystem::create_directories(fake.drive_c.folder);
  log_message("%s\n", {"late line"});
  EXPECT_FALSE(log_exists());
}

INSTANTIATE_TEST_SUITE_P(DriveC, UnwritableLog,
                         ::testing::Values(Unwritable::MissingFolder,
                                           Unwritable::LogIsAFolder),
                         [](const auto& info) {
                           return ::testing::PrintToString(info.param);
                         });

TEST_F(FlashLogTest, SecondRunAppendsAfterTheFirst) {
  std::ofstream(log_path()) << "earlier run\n";
  start_up(fake, {"prog", "first.hex"});
  reset_process_state();  // as a new process finds it
  start_up(fake, {"prog", "second.hex"});
  EXPECT_EQ(log_text(), "earlier run\n" + start_lines() +
                            "Command Line: prog first.hex\n\n" + start_lines() +
                            "Command Line: prog second.hex\n\n");
}

struct MessageCase {
  const char* name;
  bool quiet;
  bool log_enabled;
  std::optional<std::string> caption;
  std::string text;
  unsigned style;
  int answer_of_box;
  const char* logged;
  bool shown;
  int answer;
};

const MessageCase kMessages[] = {
    {"CaptionThenColonThenText", false, true, "Error",
     "Cannot continue - No adapter selected.", 0x10, 1,
     "Error:Cannot continue - No adapter selected.\n", true, 1},
    {"WithoutCaptionOnlyText", false, true, std::nullopt, "Programming complete.", 0, 1,
     "Programming complete.\n", true, 1},
    {"AnswersTheButtonPressed", false, true, "Warning", "Write anyway?", 4, 7,
     "Warning:Write anyway?\n", true, 7},
    {"QuietShowsNothingAndAnswersCancel", true, true, "Warning", "Write anyway?", 4, 6,
     "Warning:Write anyway?\n", false, 2},
    {"QuietWithoutCaptionStillLogs", true, true, std::nullopt, "Done.", 0, 1, "Done.\n",
     false, 2},
    {"LogOffStillShowsTheBox", false, false, "Error", "Failed.", 0x10, 1, "", true, 1},
    {"PercentInCaptionAndTextUnchanged", false, true, "50%x", "100% done %s", 0x30, 1,
     "50%x:100% done %s\n", true, 1},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class ShowMessage : public ShellTest,
                    public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ShowMessage, LogsThenShowsOrStaysQuiet) {
  const MessageCase& c = GetParam();
  run_options().quiet = c.quiet;
  run_options().log_enabled = c.log_enabled;
  fake.boxes.answers = {c.answer_of_box};

  const int answer =
      show_message(platform::BoxOwner::MainDialog, c.text, c.caption, c.style);

  EXPECT_EQ(answer, c.answer);
  EXPECT_EQ(log_text(), c.logged);
  if (!c.shown) {
    EXPECT_TRUE(fake.boxes.calls.empty());
    return;
  }
  ASSERT_EQ(fake.boxes.calls.size(), 1u);
  const BoxCall& box = fake.boxes.calls[0];
  EXPECT_EQ(box.owner, platform::BoxOwner::MainDialog);
  EXPECT_EQ(box.text, c.text);
  EXPECT_EQ(box.caption, c.caption);
  EXPECT_EQ(box.style, c.style);
}

INSTANTIATE_TEST_SUITE_P(Boxes, ShowMessage, ::testing::ValuesIn(kMessages),
                         [](const auto& info) { return std::string(info.param.name); });

// Switches the process to a non-English locale for the test when one is
// installed, and back afterwards.
class ForeignLocale {
 public:
  ForeignLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name :
         {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8", "de_DE", "fr_FR"}) {
      try {
        previous_ = std::locale::global(std::locale(name));
        std::setlocale(LC_ALL, name);
        active_ = name;
        return;
      } catch (const std::runtime_error&) {
      }
    }
  }
  ~ForeignLocale() {
    if (!active_) return;
    std::locale::global(previous_);
    std::setlocale(LC_ALL, saved_.c_str());
  }
  const char* active() const { return active_ ? active_ : "none installed"; }

 private:
  std::string saved_;
  std::locale previous_;
  const char* active_ = nullptr;
};

constexpr const char* kStartPattern =
    "Time of flash utility execution: %A, %B %d, %Y  %H:%M:%S";

TEST(FormatTime, WritesEnglishNamesAndTwoDigitFieldsWhateverTheLocale) {
  ForeignLocale locale;
  SCOPED_TRACE(std::string("locale ") + locale.active());
  const struct {
    platform::LocalTime time;
    const char* expected;
  } stamps[] = {
      {{2003, 1, 15, 3, 18, 26, 40},
       "Time of flash utility execution: Wednesday, January 15, 2003  18:26:40"},
      {{2026, 12, 1, 2, 0, 5, 9},
       "Time of flash utility execution: Tuesday, December 01, 2026  00:05:09"},
      {{1999, 7, 4, 0, 23, 59, 59},
       "Time of flash utility execution: Sunday, July 04, 1999  23:59:59"},
  };
  for (const auto& s : stamps) EXPECT_EQ(format_time(kStartPattern, s.time), s.expected);

  const char* weekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                            "Thursday", "Friday", "Saturday"};
  for (int day = 0; day < 7; ++day) {
    platform::LocalTime time{2003, 1, 1, day, 0, 0, 0};
    EXPECT_EQ(format_time("%A", time), weekdays[day]);
  }
  const char* months[] = {"January",   "February", "March",    "April",
                          "May",       "June",     "July",     "August",
                          "September", "October",  "November", "December"};
  for (int month = 1; month <= 12; ++month) {
    platform::LocalTime time{2003, month, 1, 0, 0, 0, 0};
    EXPECT_EQ(format_time("%B", time), months[month - 1]);
  }
}

}  // namespace
}  // namespace devov::test
