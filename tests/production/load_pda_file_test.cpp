// Merging a .pda file into the adapter's PDA from the main dialog: the merge
// itself and the two boxes that tell the user a file did not load.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_boxes.h"
#include "shell/update_flash_dialog.h"
#include "tests/production/pda_records.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

class LoadPdaFile : public ShellTest {
 protected:
  LoadPdaFile() : dialog({"prog"}, steps) {
    const Words card{5, 0x0001, 0x3031, 0x3332, 0x3534, 0x0036,  //
                     2, 0x0003, 0x5353,                          //
                     4, 0x0101, 0x9000, 0x124B, 0x5634,          //
                     2, 0x0000, 0x1234};
    dialog.pda.load_words(card.data(), static_cast<std::uint16_t>(card.size()));
    card_records = records_of(dialog.pda);
  }

  std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = (drive.path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  ScriptedSteps steps;
  UpdateFlashDialog dialog;
  std::vector<Words> card_records;
};

TEST_F(LoadPdaFile, ReplacesAddsAndDeletesCodes) {
  const std::string path = write_file("merge.pda",
                                      "; serial number, new\n"
                                      "2 0003 5678\n"
                                      "1 0101        # no MAC address\n"
                                      "2 0x0200 7\n");
  EXPECT_TRUE(dialog.load_pda_file(path));
  EXPECT_TRUE(fake.boxes.calls.empty());
  EXPECT_EQ(records_of(dialog.pda), (std::vector<Words>{card_records[0],
                                                        {2, 0x0003, 0x5678},
                                                        {2, 0x0200, 0x0007}}));
}

TEST_F(LoadPdaFile, TellsTheUserWhyAFileDidNotLoad) {
  const struct {
    const char* name;
    std::string path;
    std::string text;
    std::optional<std::string> caption;
    unsigned style;
  } cases[] = {
      {"malformed", write_file("bad.pda", "1g\n"), "File not loaded. Format invalid?",
       std::nullopt, platform::kBoxOk},
      {"missing", (drive.path() / "absent.pda").string(), "File not loaded. Format invalid?",
       std::nullopt, platform::kBoxOk},
      {"well formed, but no record to take", write_file("zero.pda", "0 1 5\n"),
       "Unable to load items from file: " + (drive.path() / "zero.pda").string(), "Error",
       platform::kBoxIconError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.boxes.calls.clear();
    EXPECT_FALSE(dialog.load_pda_file(c.path));
    ASSERT_EQ(fake.boxes.calls.size(), 1u);
    const BoxCall& box = fake.boxes.calls[0];
    EXPECT_EQ(box.owner, platform::BoxOwner::MainDialog);
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.style, c.style);
    EXPECT_EQ(records_of(dialog.pda), card_records);
  }
}

}  // namespace
}  // namespace devov::test
