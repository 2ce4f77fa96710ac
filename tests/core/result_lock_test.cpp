#include "core/result_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/paths.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

// The lock file sits beside the input under its base name: .inp and .dat
// inputs of one base share their result files, so their lock; it is never
// the input itself, nor a user's "run.lock".
TEST(ResultLock, TheLockFileSitsBesideTheInputUnderItsBaseName) {
  const std::pair<const char*, const char*> cases[] = {
      {"/d/run.inp", "/d/run.kinvalo.lock"},   {"/d/run.dat", "/d/run.kinvalo.lock"},
      {"/d/run", "/d/run.kinvalo.lock"},       {"/d/a.b.inp", "/d/a.b.kinvalo.lock"},
      {"/d.e/run", "/d.e/run.kinvalo.lock"},   {"/d/run.lock", "/d/run.kinvalo.lock"},
      {"run.inp", "run.kinvalo.lock"}};
  for (const auto& [input, lock] : cases) EXPECT_EQ(ResultLockPath(input), lock) << input;
}

TEST(ResultLock, VeryLongNamesStayWithinTheLimitAndApart) {
  TempDir dir;
  // Input names of the full 255 bytes: two that differ only at their end,
  // and one of two-byte characters cut in the middle of one.
  std::vector<std::string> inputs = {dir / (std::string(240, 'a') + std::string(11, 'x') + ".inp"),
                                     dir / (std::string(240, 'a') + std::string(11, 'y') + ".inp")};
  std::string utf8;
  for (int i = 0; i < 125; ++i) utf8 += "\xC3\xA9";  // é
  inputs.push_back(dir / (utf8 + "q.inp"));

  std::vector<std::string> names;
  for (const std::string& input : inputs) {
    ASSERT_EQ(ExtractFileName(input).size(), 255u);
    const std::string name = ExtractFileName(ResultLockPath(input));
    EXPECT_LE(name.size(), 255u) << name;
    EXPECT_EQ(name.substr(name.size() - 13), ".kinvalo.lock");
    EXPECT_EQ(ResultLockPath(input), ResultLockPath(input)) << "every run finds the same file";
    names.push_back(name);
    ResultLock lock(input, 0ms);
    EXPECT_EQ(lock.state(), ResultLock::State::Held) << name;
  }
  EXPECT_NE(names[0], names[1]);
  // The cut name is still whole characters: no lone lead byte before the hash.
  const std::string cut = names[2].substr(0, names[2].find('-'));
  EXPECT_EQ(cut.size() % 2, 0u);
  EXPECT_EQ(dir.Listing(), "") << "each lock file was removed when its lock was let go";
}

// A lock file left by a killed run holds no one up; a folder that is not
// there gives no lock and no refusal.
TEST(ResultLock, ASecondRunIsRefusedWhileTheFirstHoldsTheSetAndGetsItAfterwards) {
  TempDir dir;
  const std::string input = dir / "run.inp";
  test::WriteBytes(input, "data");
  test::WriteBytes(dir / "run.kinvalo.lock", "");
  {
    ResultLock first(input, 0ms);
    ASSERT_EQ(first.state(), ResultLock::State::Held);
    EXPECT_EQ(dir.Listing(), "run.inp run.kinvalo.lock ");
    ResultLock second(input, 0ms);
    EXPECT_EQ(second.state(), ResultLock::State::Busy);
    // A short wait with polls ends the same way.
    ResultLock patient(input, 30ms, 5ms);
    EXPECT_EQ(patient.state(), ResultLock::State::Busy);
    // Another input of the same folder is not held up.
    ResultLock other(dir / "other.inp", 0ms);
    EXPECT_EQ(other.state(), ResultLock::State::Held);
  }
  EXPECT_EQ(dir.Listing(), "run.inp ");
  ResultLock later(input, 0ms);
  EXPECT_EQ(later.state(), ResultLock::State::Held);
  ResultLock nowhere("/nonexistent-folder-of-kinvalo/run.inp", 0ms);
  EXPECT_EQ(nowhere.state(), ResultLock::State::Unavailable);
}

// Many runs taking and letting go of one set: each waiting run gets it in
// the end, and never two are inside at once, even though each holder
// removes the lock file that the others are waiting on.
TEST(ResultLock, NeverTwoHoldersAtOnce) {
  TempDir dir;
  const std::string input = dir / "run.inp";
  std::atomic<int> inside{0}, overlaps{0}, held{0};
  std::vector<std::thread> runs;
  for (int t = 0; t < 6; ++t) {
    runs.emplace_back([&] {
      for (int i = 0; i < 150; ++i) {
        ResultLock lock(input, 60s, 1ms);
        if (lock.state() != ResultLock::State::Held) continue;
        ++held;
        if (inside.fetch_add(1) != 0) ++overlaps;
        std::this_thread::yield();
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& run : runs) run.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(held.load(), 6 * 150);
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace kinvalo
