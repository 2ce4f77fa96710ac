// Runs of one input at the same time: the window and a script, or two
// scripts with different preferences. Each run either writes a whole result
// set or is refused with a message; a set never mixes the files of two runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "calc/calculation.h"
#include "core/headless_platform.h"
#include "core/result_lock.h"
#include "support/cli_process.h"

namespace kinvalo {
namespace {

using namespace std::chrono_literals;
using test::CliProcess;
using test::ReadBytes;
using test::TempDir;

std::string Example(const std::string& name) {
  return ReadBytes(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp");
}

std::string Busy(const std::string& input) {
  return "The results of \"" + input +
         "\" are being calculated by another run. Please try again when it has finished.\n";
}

// The digit after `label` in `text`, or 0.
char DigitAfter(const std::string& text, const std::string& label) {
  const size_t at = text.find(label);
  return at == std::string::npos || at + label.size() >= text.size() ? 0 : text[at + label.size()];
}

// What is wrong with the result set of "w" in `dir`: empty when its files
// agree with one another (or when there are none yet).
std::string Disagreement(const TempDir& dir) {
  const bool hasOut = std::filesystem::exists(dir / "w.out");
  const bool hasVar = std::filesystem::exists(dir / "w.var");
  const bool hasTxt = std::filesystem::exists(dir / "w.txt");
  const bool hasLsq = std::filesystem::exists(dir / "w.lsq");
  if (!hasOut && !hasVar && !hasTxt && !hasLsq) return {};
  if (!hasOut || !hasVar || !hasLsq) return "a set without its .out, .var or .lsq";
  const std::string out = ReadBytes(dir / "w.out");
  const std::string var = ReadBytes(dir / "w.var");
  // Type 3 or 4 from the watertable data in w.inp; a straight line from the
  // data in w.dat.
  char type = DigitAfter(out, "Function type : ");
  if (type == 0 && out.find("without breakpoint") != std::string::npos) type = '1';
  if (type != '1' && type != '3' && type != '4') return "an .out of no known type";
  const bool straight = type == '1';
  if (DigitAfter(var, "Regression Type: ") != type) return std::string(".var and .out disagree, .out type ") + type;
  if (out.find(straight ? "1.795E+001" : "Parameters for function type") == std::string::npos) {
    return "the .out holds the data of the other input";
  }
  if (var.find(straight ? "Total nr. of data  =      40" : "Total nr. of data  =      50") == std::string::npos) {
    return "the .var counts the data of the other input";
  }
  if (ReadBytes(dir / "w.lsq").find(straight ? "data sets  : 40" : "data sets  : 50") == std::string::npos) {
    return "the .lsq holds the data of the other input";
  }
  if (hasTxt == straight) return std::string("a .txt ") + (hasTxt ? "beside a straight line" : "missing");
  if (hasTxt && DigitAfter(ReadBytes(dir / "w.txt"), "For relations of Type ") != type) {
    return ".txt and .out disagree";
  }
  return {};
}

TEST(ConcurrentRuns, EveryRunSucceedsOrIsRefusedAndEverySetFoundIsWhole) {
  TempDir dir;
  test::WriteBytes(dir / "w.inp", Example("watertable"));
  test::WriteBytes(dir / "w.dat", Example("straight"));  // the same result files
  const char* const variants[][3] = {{"w.inp", "--prefer", "3"},
                                     {"w.inp", "--prefer", "4"},
                                     {"w.dat", "--prefer", "best"}};
  std::vector<std::unique_ptr<CliProcess>> runs;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 8; ++i) {
      const auto& v = variants[(i + round) % 3];
      runs.push_back(std::make_unique<CliProcess>(dir, std::string("calculate ") + v[0] + " " + v[1] + " " + v[2]));
      ASSERT_TRUE(runs.back()->Started());
    }
    // Look at the set between runs, as a reader that honours the lock does.
    int looks = 0;
    bool running = true;
    while (running) {
      running = false;
      for (auto& run : runs) running = running || !run->Finished();
      {
        ResultLock reader(dir / "w.inp", 10s, 1ms);
        ASSERT_EQ(reader.state(), ResultLock::State::Held);
        ASSERT_EQ(Disagreement(dir), "") << "after " << looks << " looks in round " << round;
      }
      ++looks;
      std::this_thread::sleep_for(2ms);
    }
  }
  int succeeded = 0;
  for (auto& run : runs) {
    const int status = run->Wait();
    if (status == 0) {
      ++succeeded;
      EXPECT_NE(run->Out().find("w.out"), std::string::npos) << run->Out();
    } else {
      EXPECT_EQ(status, 1);
      const std::string err = run->Err();
      EXPECT_TRUE(err == Busy(dir / "w.inp") || err == Busy(dir / "w.dat")) << err;
    }
  }
  EXPECT_GT(succeeded, 0);
  EXPECT_EQ(Disagreement(dir), "");
  runs.clear();
  const std::string listing = dir.Listing();
  EXPECT_TRUE(listing == "w.dat w.inp w.lsq w.out w.txt w.var " || listing == "w.dat w.inp w.lsq w.out w.var ")
      << "no lock or temporary file stays: " << listing;
}

// The batch command, while the window calculates the same input, waits and
// then gives up: status 1, the message on standard error, no file written.
// One that is still waiting when the set is let go calculates.
TEST(ConcurrentRuns, TheBatchCommandWaitsForTheSetAndGivesUpWithStatusOne) {
  TempDir dir;
  const std::string input = dir / "w.inp";
  test::WriteBytes(input, Example("watertable"));
  auto window = std::make_unique<ResultLock>(input, 0ms);
  ASSERT_EQ(window->state(), ResultLock::State::Held);
  CliProcess refused(dir, "calculate w.inp");
  EXPECT_EQ(refused.Wait(), 1);
  EXPECT_EQ(refused.Err(), Busy(input));
  EXPECT_EQ(refused.Out(), "");
  CliProcess waiting(dir, "calculate w.inp --prefer 3");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(dir.Listing(), "w.inp w.kinvalo.lock ") << "nothing is written while the set is held";
  window.reset();
  EXPECT_EQ(waiting.Wait(), 0) << waiting.Err();
  EXPECT_EQ(Disagreement(dir), "");
  EXPECT_TRUE(std::filesystem::exists(dir / "w.out"));
}

// The calculation itself, as the window runs it: a refusal is shown through
// the platform and leaves the folder and the working data as they were.
// Once free, the run removes the leftovers of killed runs, not those of
// runs alive, and writes the set.
TEST(ConcurrentRuns, AHeldCalculationIsRefusedAndTouchesNothingThenRunsOnceFree) {
  TempDir dir;
  HeadlessPlatform platform;
  WorkingData dm{platform};
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  dm.FileName = dir / "w.inp";
  for (int i = 0; i < 20; ++i) {
    dm.XData.push_back(20 - i);
    dm.YData.push_back(i < 8 ? 5.0 + 0.01 * (i % 3) : 5.0 + 0.7 * (i - 8) + 0.05 * (i % 2));
  }
  dm.NrOfData = dm.NrOfInputData = 20;
  dm.Title1 = dm.Title2 = "title";
  const std::string dead = "w.out.kinvalo-" + std::to_string(child) + "-0000000000000001.tmp";
  const std::string live = "w.var.kinvalo-" + std::to_string(::getpid()) + "-0000000000000002.tmp";
  for (const std::string& name : {std::string("w.inp"), dead, live}) test::WriteBytes(dir / name, name);
  const std::vector<double> x = dm.XData;
  std::string message = Busy(dm.FileName);
  message.pop_back();
  {
    ResultLock other(dm.FileName, 0ms);
    const std::string before = dir.Listing();
    const SearchResult result = CalculateResults(dm, {Confidence{}, Preference::BestOfTwo, 0}, platform);
    EXPECT_EQ(result.refusal, message);
    EXPECT_EQ(platform.messages, std::vector<std::string>{message});
    EXPECT_EQ(dir.Listing(), before);
    EXPECT_EQ(dm.XData, x);
  }
  EXPECT_FALSE(CalculateResults(dm, {Confidence{}, Preference::BestOfTwo, 0}, platform).refusal.has_value());
  EXPECT_EQ(dir.Listing(), "w.inp w.lsq w.out w.txt w.var " + live + " ");
}

}  // namespace
}  // namespace kinvalo
