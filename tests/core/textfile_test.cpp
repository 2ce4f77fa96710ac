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
