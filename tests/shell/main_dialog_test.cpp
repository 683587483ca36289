// The main dialog: what start-up leaves on screen and in the log when the
// library is present, the order of the start-up steps, and the Cancel rule.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/view_state.h"
#include "resources/resource_ids.h"
#include "shell/update_app.h"
#include "shell/update_flash_dialog.h"
#include "shell/version.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

constexpr const char* kCautionText =
    "You must:\r\n"
    "- Close all other programs before proceeding.\r\n"
    "- Maintain AC power during the firmware update.\r\n"
    "- Permit programming to proceed without interruption.\r\n"
    "Programming failure may leave the adapter card in an inoperable state!";

using StartUp = ShellTest;

TEST_F(StartUp, WithLibraryPresentLogsAndSetsUpTheWindow) {
  ScriptedSteps steps;
  UpdateApp().run({"prog", "a.hex"}, steps);

  EXPECT_EQ(log_text(), start_lines() + "Command Line: prog a.hex\n\n");
  EXPECT_FALSE(fake.dialogs.ended_during_init);
  const platform::ViewState& view = *fake.dialogs.view;
  EXPECT_EQ(view.caption(), "Velk 6271 Wireless USB Update");
  ASSERT_FALSE(fake.link.events.empty());
  EXPECT_EQ(fake.link.events[0], "find_running " + view.caption())
      << "a second instance looks for the caption the dialog gives itself";

  EXPECT_EQ(view.control(IDC_VERSION_BOX)->text, "Ver. 0.6.16\r\n(" + build_date() + ")");
  EXPECT_TRUE(std::regex_match(
      build_date(),
      std::regex(
          "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 0-3]?[0-9] [0-9]{4}")))
      << build_date();
  EXPECT_EQ(view.control(IDC_STATUS_BOX)->text,
            "Update is not required because your adapter contains the latest firmware "
            "version.");
  EXPECT_EQ(view.control(IDC_CAUTION_BOX)->text, kCautionText);
  EXPECT_EQ(view.status_color(), 0u);

  std::set<int> with_font;
  for (const auto& c : view.controls()) {
    if (!c.font) continue;
    with_font.insert(c.control->id);
    EXPECT_EQ(c.font->face, "Arial") << c.control->id;
    EXPECT_EQ(c.font->tenths_of_point, 99) << c.control->id;
  }
  EXPECT_EQ(with_font, (std::set<int>{IDC_CAUTION_BOX, IDC_STATUS_BOX, IDC_CAUTION_FRAME,
                                      IDC_STATUS_FRAME}));

  ASSERT_EQ(view.system_menu().size(), 2u);
  EXPECT_EQ(view.system_menu()[0].first, 0) << "separator";
  EXPECT_EQ(view.system_menu()[1],
            (std::pair<int, std::string>{16, "About 6271DEVOV..."}));
  EXPECT_EQ(view.icon(), 128);
  EXPECT_FALSE(view.accepts_dropped_files());
  EXPECT_TRUE(view.tool_tips_enabled());
  EXPECT_EQ(view.cursor(), platform::CursorShape::Arrow);

  const platform::ControlState& queue = *view.control(IDC_FILE_QUEUE);
  EXPECT_EQ(queue.image_list, IDB_QUEUE_IMAGES);
  ASSERT_EQ(queue.columns.size(), 2u);
  EXPECT_EQ(queue.columns[0].heading, "Type / Version");
  EXPECT_EQ(queue.columns[0].width, 90);
  EXPECT_EQ(queue.columns[1].heading, "File Path");
  EXPECT_EQ(queue.columns[1].width, 250);

  EXPECT_EQ(view.control(IDC_CONTINUE)->text, "Continue");
  EXPECT_TRUE(view.control(IDC_CONTINUE)->enabled);
  EXPECT_EQ(view.control(IDC_CANCEL)->text, "Cancel");
  EXPECT_TRUE(view.control(IDC_CANCEL)->enabled);

  // The command line is read before the manifest, the pre-check runs once
  // after it, and no request runs outside quiet mode.
  EXPECT_EQ(steps.events,
            (std::vector<std::string>{"add_file a.hex 0", "show_manifest", "pre_check"}));
  EXPECT_EQ(fake.process.flushes, 1) << "files flushed when the dialog returns";
}

TEST_F(StartUp, WhatThePreCheckShowsIsKept) {
  ScriptedSteps steps;
  steps.pre_check_action = [](UpdateFlashDialog& dialog) {
    dialog.set_status_text("No adapter found.");
    dialog.set_status_color(kColorRed);
    dialog.adapter_name = "Velk 6271 #2";
    dialog.pda_mac_text = "00:60:1D:01:02:03";
    dialog.serial_number_text = "SN 99";
    dialog.adapter_mac_text = "00:60:1D:0A:0B:0C";
    return 0;
  };
  UpdateApp().run({"prog"}, steps);

  const platform::ViewState& view = *fake.dialogs.view;
  EXPECT_EQ(view.control(IDC_STATUS_BOX)->text, "No adapter found.");
  EXPECT_EQ(view.status_color(), 255u);
  // The bound edits are refreshed after the pre-check.
  EXPECT_EQ(view.control(IDC_ADAPTER_NAME)->text, "Velk 6271 #2");
  EXPECT_EQ(view.control(IDC_PDA_MAC)->text, "00:60:1D:01:02:03");
  EXPECT_EQ(view.control(IDC_SERIAL_NUMBER)->text, "SN 99");
  EXPECT_EQ(view.control(IDC_ADAPTER_MAC)->text, "00:60:1D:0A:0B:0C");
}

// A dialog after an interactive start-up, for the button tests.
class MainDialogButtons : public ShellTest {
 protected:
  MainDialogButtons() : dialog({"prog"}, steps) {
    dialog.caption = kCaption;
    dialog.on_init(view);
  }

  ScriptedSteps steps;
  UpdateFlashDialog dialog;
  platform::ViewState view;
};

enum class CancelWay { CancelButton, CancelCommand };

struct CancelCase {
  const char* name;
  CancelWay way;
  bool busy;
  std::optional<int> outcome;
};

const CancelCase kCancelCases[] = {
    {"Button1064", CancelWay::CancelButton, false, platform::kOutcomeCancel},
    {"CancelCommand", CancelWay::CancelCommand, false, platform::kOutcomeCancel},
    {"Button1064WhileBusy", CancelWay::CancelButton, true, std::nullopt},
    {"CancelCommandWhileBusy", CancelWay::CancelCommand, true, std::nullopt},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CancelCase& c, std::ostream* out) { *out << c.name; }

class CancelRule : public MainDialogButtons,
                   public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelRule, EndsWithCancelUnlessProgrammingIsBusy) {
  const CancelCase& c = GetParam();
  dialog.programming_busy = c.busy;
  if (c.way == CancelWay::CancelButton)
    dialog.on_command(IDC_CANCEL);
  else
    dialog.on_cancel();
  EXPECT_EQ(view.outcome(), c.outcome);
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelRule, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainDialogButtons, ContinueRunsOneRequestAndLeavesTheDialogOpen) {
  dialog.on_command(IDC_CONTINUE);
  EXPECT_EQ(steps.requests, 1);
  EXPECT_EQ(view.outcome(), std::nullopt);
}

}  // namespace
}  // namespace devov::test
