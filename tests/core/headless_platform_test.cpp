#include "core/headless_platform.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace kinvalo {
namespace {

struct Questions {
  const char* name;
  std::deque<bool> queued;
  bool defaultAnswer;
  std::vector<bool> expected;  // one per question asked
};
void PrintTo(const Questions& q, std::ostream* os) { *os << q.name; }

class HeadlessQuestions : public ::testing::TestWithParam<Questions> {};

TEST_P(HeadlessQuestions, TakeTheQueueInOrderThenTheDefault) {
  const Questions& q = GetParam();
  HeadlessPlatform platform;
  platform.answers = q.queued;
  platform.defaultAnswer = q.defaultAnswer;
  std::vector<bool> given;
  for (size_t i = 0; i < q.expected.size(); ++i) {
    given.push_back(platform.AskYesNo("Question " + std::to_string(i) + "?"));
  }
  EXPECT_EQ(given, q.expected);
  EXPECT_TRUE(platform.answers.empty());
  EXPECT_EQ(platform.messages.size(), q.expected.size()) << "every question is kept as a message";
}

INSTANTIATE_TEST_SUITE_P(
    Queues, HeadlessQuestions,
    ::testing::Values(Questions{"NothingQueued", {}, false, {false, false}},
                      Questions{"NothingQueuedDefaultYes", {}, true, {true, true}},
                      Questions{"QueueBeforeDefault", {true, true}, false, {true, true, false}},
                      Questions{"QueuedNoBeatsDefaultYes", {false}, true, {false, true}},
                      Questions{"MixedQueue", {false, true, false}, false, {false, true, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeadlessPlatform, BothDialogsShareOneQueueAndAreCancelledWhenItIsEmpty) {
  HeadlessPlatform platform;
  platform.files = {"a.inp", std::nullopt, "b.out"};
  const FileDialogOptions options;
  EXPECT_EQ(platform.OpenFileDialog(options), "a.inp");
  EXPECT_EQ(platform.SaveFileDialog(options), std::nullopt);
  EXPECT_EQ(platform.SaveFileDialog(options), "b.out");
  EXPECT_EQ(platform.OpenFileDialog(options), std::nullopt);
  EXPECT_EQ(platform.SaveFileDialog(options), std::nullopt);
}

// The batch command's standard error is this echo: one line per message and
// per question, in the order they came, including empty and multi-line ones.
TEST(HeadlessPlatform, EchoesMessagesAndQuestionsOneALine) {
  std::ostringstream echo;
  HeadlessPlatform platform(&echo);
  platform.ShowMessage("The file cannot be opened.");
  EXPECT_EQ(echo.str(), "The file cannot be opened.\n") << "written as it is shown";
  platform.answers = {true};
  EXPECT_TRUE(platform.AskYesNo("Overwrite?"));
  platform.ShowMessage("");
  platform.ShowMessage("two\nlines");
  platform.Wait(250);
  platform.Wait(750);
  EXPECT_EQ(echo.str(), "The file cannot be opened.\nOverwrite?\n\ntwo\nlines\n");
  const std::vector<std::string> expected{"The file cannot be opened.", "Overwrite?", "", "two\nlines"};
  EXPECT_EQ(platform.messages, expected);
  EXPECT_EQ(platform.waited, 1000);
}

}  // namespace
}  // namespace kinvalo
