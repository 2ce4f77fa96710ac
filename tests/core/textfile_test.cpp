#include "core/textfile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "core/paths.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;

TEST(Cp1252, ConvertsBothWaysAndReplacesWhatItCannotHold) {
  EXPECT_EQ(Cp1252ToUtf8("Gr\xFC" "nland \x80 \x96"), "Grünland € –");
  EXPECT_EQ(Utf8ToCp1252("Grünland € –"), "Gr\xFC" "nland \x80 \x96");
  EXPECT_EQ(Utf8ToCp1252("水 ok"), "? ok");
  EXPECT_EQ(Utf8ToCp1252(std::string("bad \xC3", 5)), "bad ?");
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), "a?b");
  // Every byte but NUL survives a round trip.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(TextReader, TakesEveryKindOfLineEnd) {
  TextReader in;
  in.OpenBytes("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(in.ReadLine(), "one");
  EXPECT_EQ(in.ReadLine(), "two");
  EXPECT_EQ(in.ReadLine(), "three");
  EXPECT_EQ(in.LineNumber(), 4);
  EXPECT_EQ(in.ReadLine(), "four");
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(in.ReadLine(), "");
}

// Lines are read through a buffer of 64 KiB: lines and line ends that
// straddle its edge, and lines far longer than it, come out whole, and of a
// line only the tokens asked for are kept.
TEST(TextReader, ReadsLinesAndTokensAcrossTheBufferEdge) {
  TempDir dir;
  const size_t edge = size_t{64} << 10;
  const std::string longTail(3 * edge, 'x');
  std::string manyTokens;
  for (int i = 0; i < 200000; ++i) manyTokens += std::to_string(i % 10) + " ";
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // the lines, each as its first 3 tokens joined by '|'
  } cases[] = {
      {"crlf_split_by_the_edge", std::string(edge - 3, ' ') + "ab\r\nnext", {"ab", "next"}},
      {"lone_cr_at_the_edge", std::string(edge - 3, ' ') + "ab\rnext\r", {"ab", "next"}},
      {"token_across_the_edge", std::string(edge - 2, ' ') + "1234 5\n6", {"1234|5", "6"}},
      {"long_line_of_tokens", "1\t2.5 3 " + manyTokens + "\r\n4 5 6\r\n", {"1|2.5|3", "4|5|6"}},
      {"long_token_is_cut", "1 " + longTail + " 3\nnext", {"1|x" + std::string(4096, 'x') + "|3", "next"}},
      {"blank_lines", "\r\n \t \n\r", {"", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(dir / "f.txt", c.bytes);
    TextReader in;
    ASSERT_TRUE(in.Open(dir / "f.txt"));
    std::vector<std::string> lines;
    while (!in.AtEnd()) {
      std::string joined;
      for (const std::string& token : in.ReadLineTokens(3, 4096)) joined += (joined.empty() ? "" : "|") + token;
      lines.push_back(joined);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(in.LineNumber(), static_cast<int>(c.lines.size()) + 1);
    EXPECT_FALSE(in.Problem());
  }
  // A line cut to its limit comes back one byte longer than it, and the next
  // line is whole.
  test::WriteBytes(dir / "f.txt", longTail + "\r\nsecond");
  TextReader in;
  ASSERT_TRUE(in.Open(dir / "f.txt"));
  EXPECT_EQ(in.ReadRawLine(100), std::string(101, 'x'));
  EXPECT_EQ(in.ReadRawLine(100), "second");
  EXPECT_TRUE(in.AtEnd());
}

// Only regular files are read, and none beyond 2 GB: what is no file to
// read is refused at once, before a byte is read, with its own cause; an
// open that fails says the system's reason.
TEST(FileRefusals, NameTheirCause) {
  TempDir dir;
  auto cases = test::UnreadableFiles(dir, ".inp");
  cases.push_back({dir / "absent.inp", "The file \"" + (dir / "absent.inp") + "\" could not be opened: No such file or directory."});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message.substr(0, 60));
    const bool unavailable = c.path == dir / "absent.inp";  // the program's own open-failure message fits
    TextReader in;
    EXPECT_FALSE(in.Open(c.path));
    EXPECT_EQ(in.Problem().Message(c.path), c.message);
    EXPECT_EQ(in.Problem().IsUnavailable(), unavailable);
    EXPECT_TRUE(in.AtEnd());
    std::string bytes = "kept";
    ReadProblem problem;
    EXPECT_FALSE(ReadFileBytes(c.path, bytes, &problem));
    EXPECT_EQ(bytes, "kept");
    EXPECT_EQ(problem.Message(c.path, "Own words."),
              unavailable ? "Own words. The system reports: No such file or directory." : c.message);
  }
}

// The size a file states is not trusted: files under /proc state 0 and hold
// text, and an empty file is read as empty.
TEST(ReadFileBytes, ReadsToTheEndWhateverSizeTheFileStates) {
  std::string status;
  ASSERT_TRUE(ReadFileBytes("/proc/self/status", status));
  EXPECT_NE(status.find("Name:"), std::string::npos);
  TextReader in;
  ASSERT_TRUE(in.Open("/proc/self/status"));
  EXPECT_EQ(in.ReadRawLine().substr(0, 5), "Name:");
  TempDir dir;
  test::WriteBytes(dir / "empty", "");
  std::string bytes = "kept";
  EXPECT_TRUE(ReadFileBytes(dir / "empty", bytes));
  EXPECT_EQ(bytes, "");
}

// Nothing shows under the target name before the commit; a writer dropped
// without one, as when an exception passes, leaves the earlier file whole.
TEST(TextWriter, WritesCp1252WithCrLfOnlyWhenCommitted) {
  TempDir dir;
  const std::string path = dir / "out.txt", kept = dir / "keep.inp";
  test::WriteBytes(path, "old contents");
  test::WriteBytes(kept, "the user's data");
  {
    TextWriter dropped;
    ASSERT_TRUE(dropped.Create(kept));
    dropped.WriteLine("half a file");
  }
  TextWriter out;
  ASSERT_TRUE(out.Create(path));
  out.WriteLine("Bodenfeuchte °C");
  out.WriteLine("a title\r\npasted");
  out.Write("x");
  EXPECT_EQ(ReadBytes(path), "old contents");
  out.Commit();
  EXPECT_EQ(ReadBytes(path), "Bodenfeuchte \xB0" "C\r\na title  pasted\r\nx");
  EXPECT_EQ(ReadBytes(kept), "the user's data");
  EXPECT_EQ(dir.Listing(), "keep.inp out.txt ");
  EXPECT_FALSE(TextWriter().Create(dir / "missing/folder/file.out"));
}

// A buffer of lines goes to the file as it is but for the characters
// beyond ASCII, converted wherever they stand.
TEST(TextWriter, WritesBuffersOfLinesWithTheirOwnLineEnds) {
  TempDir dir;
  const std::string line = "    1      1.00E+000\r\n", block(100000, 'x');
  std::string expected;
  TextWriter out;
  ASSERT_TRUE(out.Create(dir / "table.out"));
  for (size_t at = 0; at <= line.size(); ++at) {
    out.Write(line.substr(0, at) + "°" + line.substr(at));
    expected += line.substr(0, at) + "\xB0" + line.substr(at);
  }
  out.Write(block);
  out.Commit();
  EXPECT_EQ(ReadBytes(dir / "table.out"), expected + block);
}

// The temporary file of a target whose name takes 250 bytes, or 255 with
// a character of two bytes at the cut, stays within the 255 bytes of a
// name and is recognised as the writer's.
TEST(TemporaryName, StaysWithinTheLimitOfANameForTheLongestTargets) {
  TempDir dir;
  const std::string names[] = {std::string(246, 'n') + ".out",
                               std::string(199, 'a') + "\xC3\xA9" + std::string(50, 'b') + ".out",
                               std::string(251, 'x') + ".var"};
  for (const std::string& name : names) {
    ASSERT_LE(name.size(), 255u);
    TextWriter out;
    ASSERT_TRUE(out.Create(dir / name)) << std::strerror(errno);
    std::string temporary;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      temporary = entry.path().filename().string();
    }
    EXPECT_LE(temporary.size(), 255u);
    long pid = 0;
    EXPECT_TRUE(IsKinvaloTemporaryName(temporary, &pid)) << temporary;
    EXPECT_EQ(pid, ::getpid());
    EXPECT_EQ(temporary.substr(0, 20), name.substr(0, 20));
    out.WriteLine("done");
    out.Commit();
    EXPECT_EQ(ReadBytes(dir / name), "done\r\n");
    std::filesystem::remove(dir / name);
  }
}

// A replaced file keeps its mode, and a link stays a link to its file,
// written in that file's folder; a read-only file is not replaced.
TEST(TextWriter, KeepsTheModeAndTheLinkOfTheFileItReplacesAndLeavesReadOnlyFiles) {
  TempDir dir;
  std::filesystem::create_directory(dir / "store");
  std::filesystem::create_symlink("store/real.out", dir / "run.out");
  for (const mode_t mode : {0600, 0640, 0604}) {
    test::WriteBytes(dir / "store/real.out", "old");
    ASSERT_EQ(::chmod((dir / "store/real.out").c_str(), mode), 0);
    TextWriter out;
    ASSERT_TRUE(out.Create(dir / "run.out"));
    EXPECT_EQ(test::TemporaryFiles(dir / "store"), 1);
    out.Write("new");
    out.Commit();
    struct stat st {};
    ASSERT_EQ(::stat((dir / "store/real.out").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "run.out"));
    EXPECT_EQ(ReadBytes(dir / "store/real.out"), "new");
  }
  EXPECT_EQ(dir.Listing(), "run.out store ");
  EXPECT_EQ(test::TemporaryFiles(dir / "store"), 0);
  const std::string path = dir / "kept.out";
  test::WriteBytes(path, "protected");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(TextWriter().Create(path));
  EXPECT_THROW(TextWriter().CreateOrThrow(path), ReadOnlyFileError);
  EXPECT_EQ(ReadBytes(path), "protected");
  EXPECT_EQ(dir.Listing(), "kept.out run.out store ");
}

// The message names the file and what the system said.
TEST(TextWriter, FailuresNameTheCause) {
  TempDir dir;
  const std::string path = dir / "full.out";
  {
    test::FileFault full(FileStep::Write, 3, ENOSPC);
    TextWriter out;
    ASSERT_TRUE(out.Create(path));
    out.WriteLine("fits");
    EXPECT_EQ(test::Thrown([&] { out.WriteLine("does not fit"); }),
              "The file \"" + path + "\" could not be written (No space left on device).");
  }
  EXPECT_EQ(test::Thrown([&] { TextWriter().CreateOrThrow(dir / "gone/file.out"); }),
            "The file \"" + dir / "gone/file.out" + "\" could not be created (No such file or directory).");
  EXPECT_EQ(dir.Listing(), "");
}

TEST(Paths, ChangeTheExtensionOfTheNameOnly) {
  EXPECT_EQ(ChangeFileExt("/data/field.inp", ".txt"), "/data/field.txt");
  EXPECT_EQ(ChangeFileExt("C:\\data\\field.inp", ".txt"), "C:\\data\\field.txt");
  EXPECT_EQ(ChangeFileExt("/data.2024/field", ".out"), "/data.2024/field.out");
  EXPECT_EQ(ChangeFileExt("field.v2.inp", ".var"), "field.v2.var");
  EXPECT_EQ(ExtractFileName("/data/field.var"), "field.var");
  EXPECT_EQ(ExtractFileName("C:\\data\\field.var"), "field.var");
  EXPECT_EQ(ExtractFilePath("/data/field.var"), "/data/");
  EXPECT_EQ(ExtractFilePath("field.var"), "");
}

}  // namespace
}  // namespace kinvalo
