// The second instance: hands its arguments to the running one and leaves
// without a dialog and without a log.
#include "shell/update_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/run_options.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

using SecondInstance = ShellTest;

TEST_F(SecondInstance, HandsEachArgumentOverAndExitsZero) {
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> events;
  } cases[] = {
      {{"prog", "x.hex", "-quiet"},
       {"find_running Velk 6271 Wireless USB Update", "bring_to_front",
        "hand_over 3 x.hex", "hand_over 3 -quiet"}},
      {{"prog"}, {"find_running Velk 6271 Wireless USB Update", "bring_to_front"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    fake.link.running = true;
    fake.link.events.clear();
    ScriptedSteps steps;

    EXPECT_EQ(UpdateApp().run(c.arguments, steps), 0);

    EXPECT_EQ(fake.link.events, c.events);
    EXPECT_EQ(fake.dialogs.dialogs_run, 0);
    EXPECT_TRUE(steps.events.empty());
    EXPECT_FALSE(log_exists());
    EXPECT_FALSE(run_options().quiet) << "the command line is not read";
  }
}

}  // namespace
}  // namespace devov::test
