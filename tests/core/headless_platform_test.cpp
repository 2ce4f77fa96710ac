#include "core/headless_platform.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace kinvalo {
namespace {

// The batch command's standard error is this echo: one line per message and
// per question, in the order they came, including empty and multi-line ones.
// Questions take the queue in order, then the default, which is no at first.
TEST(HeadlessPlatform, AnswersFromTheQueueThenTheDefaultAndEchoesEveryLine) {
  std::ostringstream echo;
  HeadlessPlatform platform(&echo);
  platform.ShowMessage("The file cannot be opened.");
  EXPECT_EQ(echo.str(), "The file cannot be opened.\n") << "written as it is shown";
  platform.answers = {false, true};
  std::vector<bool> given;
  for (const char* question : {"Overwrite?", "", "two\nlines"}) given.push_back(platform.AskYesNo(question, DefaultAnswer::Yes));
  platform.defaultAnswer = true;
  platform.answers = {false};
  for (const char* question : {"Keep?", "Again?"}) given.push_back(platform.AskYesNo(question, DefaultAnswer::Yes));
  EXPECT_EQ(given, (std::vector<bool>{false, true, false, false, true}));
  EXPECT_TRUE(platform.answers.empty());
  platform.Wait(250);
  platform.Wait(750);
  EXPECT_EQ(platform.waited, 1000);
  EXPECT_EQ(echo.str(), "The file cannot be opened.\nOverwrite?\n\ntwo\nlines\nKeep?\nAgain?\n");
  const std::vector<std::string> expected{"The file cannot be opened.", "Overwrite?", "", "two\nlines", "Keep?",
                                          "Again?"};
  EXPECT_EQ(platform.messages, expected);
}

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

}  // namespace
}  // namespace kinvalo
