#include "core/textfile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// Only regular files are read, and none beyond 2 GB: a folder, a FIFO with
// no writer and /dev/zero are refused at once, before a byte is read, each
// with its own cause; an open that fails says the system's reason.
TEST(FileRefusals, NameTheirCause) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.inp");
  ASSERT_EQ(::mkfifo((dir / "fifo.inp").c_str(), 0600), 0);
  {
    std::ofstream big(dir / "big.inp", std::ios::binary);
  }
  std::filesystem::resize_file(dir / "big.inp", kMaxReadBytes + 1);  // sparse: no disk space taken
  {
    std::ofstream exact(dir / "exact.inp", std::ios::binary);
  }
  const std::string tooLong = dir / (std::string(300, 'n') + ".inp");
  const struct {
    std::string path;
    std::string message;
    bool unavailable;  // the program's own open-failure message fits
  } cases[] = {
      {dir / "folder.inp", "The file \"" + (dir / "folder.inp") + "\" could not be read: it is a folder.", false},
      {dir / "fifo.inp", "The file \"" + (dir / "fifo.inp") + "\" could not be read: it is not a regular file.", false},
      {"/dev/zero", "The file \"/dev/zero\" could not be read: it is not a regular file.", false},
      {dir / "big.inp", "The file \"" + (dir / "big.inp") + "\" could not be read: it is larger than 2 GB.", false},
      {tooLong, "The file \"" + tooLong + "\" could not be opened: File name too long.", false},
      {dir / "absent.inp", "The file \"" + (dir / "absent.inp") + "\" could not be opened: No such file or directory.",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.substr(c.path.size() > 40 ? c.path.size() - 40 : 0));
    TextReader in;
    EXPECT_FALSE(in.Open(c.path));
    EXPECT_EQ(in.Problem().Message(c.path), c.message);
    EXPECT_EQ(in.Problem().IsUnavailable(), c.unavailable);
    EXPECT_TRUE(in.AtEnd());
    std::string bytes = "kept";
    ReadProblem problem;
    EXPECT_FALSE(ReadFileBytes(c.path, bytes, &problem));
    EXPECT_EQ(problem.Message(c.path), c.message);
    EXPECT_EQ(bytes, "kept");
    EXPECT_EQ(problem.Message(c.path, "Own words."),
              c.unavailable ? "Own words. The system reports: No such file or directory." : c.message);
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

TEST(TemporaryName, IsRecognisedWithTheIdOfItsProcess) {
  struct Case {
    const char* name;
    bool temporary;
    long pid;
  };
  const Case cases[] = {
      {"run.out.kinvalo-4711-0123456789abcdef.tmp", true, 4711},
      {"/data/run.var.kinvalo-1-fedcba9876543210.tmp", true, 1},
      {".kinvalo-2147483647-0000000000000000.tmp", true, 2147483647},
      {"run.out", false, 0},
      {"run.out.kinvalo-4711-0123456789abcdef.tm", false, 0},
      {"run.out.kinvalo-4711-0123456789ABCDEF.tmp", false, 0},   // upper-case digits
      {"run.out.kinvalo-4711-0123456789abcde.tmp", false, 0},    // 15 digits
      {"run.out.kinvalo--0123456789abcdef.tmp", false, 0},       // no pid
      {"run.out.kinvalo-47x1-0123456789abcdef.tmp", false, 0},
      {"run.out-4711-0123456789abcdef.tmp", false, 0},
      {"my.tmp", false, 0},
  };
  for (const Case& c : cases) {
    long pid = 0;
    EXPECT_EQ(IsKinvaloTemporaryName(c.name, &pid), c.temporary) << c.name;
    if (c.temporary) {
      EXPECT_EQ(pid, c.pid) << c.name;
    }
  }
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

// A replaced file keeps its mode; a read-only one is not replaced.
TEST(TextWriter, KeepsTheModeOfTheFileItReplacesAndLeavesReadOnlyFiles) {
  for (const mode_t mode : {0600, 0640, 0604}) {
    TempDir dir;
    const std::string path = dir / "private.out";
    test::WriteBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    TextWriter out;
    ASSERT_TRUE(out.Create(path));
    out.Write("new");
    out.Commit();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(ReadBytes(path), "new");
  }
  TempDir dir;
  const std::string path = dir / "kept.out";
  test::WriteBytes(path, "protected");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(TextWriter().Create(path));
  EXPECT_THROW(TextWriter().CreateOrThrow(path), ReadOnlyFileError);
  EXPECT_EQ(ReadBytes(path), "protected");
  EXPECT_EQ(dir.Listing(), "kept.out ");
}

// A link is written through to its file, in that file's folder, and stays
// a link.
TEST(TextWriter, WritesThroughALinkToItsFile) {
  TempDir dir;
  std::filesystem::create_directory(dir / "store");
  test::WriteBytes(dir / "store/real.out", "old");
  std::filesystem::create_symlink("store/real.out", dir / "run.out");
  TextWriter out;
  ASSERT_TRUE(out.Create(dir / "run.out"));
  EXPECT_EQ(test::TemporaryFiles(dir / "store"), 1);
  out.Write("new");
  out.Commit();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "run.out"));
  EXPECT_EQ(ReadBytes(dir / "store/real.out"), "new");
  EXPECT_EQ(dir.Listing(), "run.out store ");
  EXPECT_EQ(test::TemporaryFiles(dir / "store"), 0);
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
    try {
      out.WriteLine("does not fit");
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "The file \"" + path + "\" could not be written (No space left on device).");
    }
  }
  try {
    TextWriter().CreateOrThrow(dir / "gone/file.out");
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "The file \"" + dir / "gone/file.out" + "\" could not be created (No such file or directory).");
  }
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
