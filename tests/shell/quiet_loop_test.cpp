// The quiet loop: how many requests run for -repeat, when it stops, the
// -delay pause after each request, and the exit status it leads to.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "shell/update_app.h"
#include "tests/support/scripted_steps.h"
#include "tests/support/shell_fixture.h"

namespace devov::test {
namespace {

struct LoopCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program name
  std::vector<bool> completes;         // per request: programming completed
  int requests;
  std::vector<std::uint32_t> sleeps;
  bool ended_during_init;
  int status;
};

const LoopCase kLoops[] = {
    {"OneRunThatFailsExitsOne", {"-quiet"}, {false}, 1, {}, true, 1},
    {"OneRunThatCompletesExitsZero", {"-quiet"}, {true, true}, 1, {}, true, 0},
    {"RepeatRunsWhileRequestsComplete",
     {"-repeat", "3", "-quiet"},
     {true, true, true, true},
     3,
     {},
     true,
     0},
    {"RepeatStopsAfterAFailedFirstRun",
     {"-repeat", "3", "-quiet"},
     {false, true, true},
     1,
     {},
     true,
     1},
    {"OneCompletedRunKeepsTheLoopGoing",
     {"-repeat", "3", "-quiet"},
     {true, false, false},
     3,
     {},
     true,
     0},
    {"RepeatZeroRunsOnce", {"-repeat", "0", "-quiet"}, {true, true}, 1, {}, true, 0},
    {"NegativeRepeatRunsOnce", {"-repeat", "-2", "-quiet"}, {true, true}, 1, {}, true, 0},
    {"MostNegativeRepeatRunsOnce",
     {"-repeat", "-2147483648", "-quiet"},
     {true},
     1,
     {},
     true,
     0},
    {"ClampedNegativeRepeatRunsOnce",
     {"-repeat", "-99999999999", "-quiet"},
     {true},
     1,
     {},
     true,
     0},
    {"DelayAfterTheOnlyRun", {"-delay", "2", "-quiet"}, {false}, 1, {2000}, true, 1},
    {"DelayAfterEveryRun",
     {"-repeat", "3", "-delay", "2", "-quiet"},
     {true, true, true},
     3,
     {2000, 2000, 2000},
     true,
     0},
    {"NegativeDelayIsNotSlept", {"-delay", "-1", "-quiet"}, {true}, 1, {}, true, 0},
    {"VerboseAfterQuietRunsNoLoop", {"-quiet", "-verbose"}, {true}, 0, {}, false, 1},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LoopCase& c, std::ostream* out) { *out << c.name; }

class QuietLoop : public ShellTest, public ::testing::WithParamInterface<LoopCase> {};

TEST_P(QuietLoop, RunsRequestsAndEndsTheDialog) {
  const LoopCase& c = GetParam();
  std::vector<std::string> arguments{"prog"};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
  ScriptedSteps steps;
  steps.completes = c.completes;
  steps.clock = &fake.clock;

  int status = -1;
  try {
    status = UpdateApp().run(arguments, steps);
  } catch (const RunawayLoop& runaway) {
    ADD_FAILURE() << "the loop was still running after " << runaway.requests
                  << " requests";
  }

  EXPECT_EQ(steps.requests, c.requests);
  EXPECT_EQ(fake.clock.sleeps, c.sleeps);
  // Each pause follows its request: request i has seen the i pauses before it.
  std::vector<std::size_t> before;
  for (int i = 0; i < c.requests; ++i)
    before.push_back(c.sleeps.empty() ? 0 : static_cast<std::size_t>(i));
  EXPECT_EQ(steps.sleeps_before_request, before);
  EXPECT_EQ(fake.dialogs.ended_during_init, c.ended_during_init);
  EXPECT_EQ(status, c.status);
  EXPECT_TRUE(fake.boxes.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Options, QuietLoop, ::testing::ValuesIn(kLoops),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace devov::test
