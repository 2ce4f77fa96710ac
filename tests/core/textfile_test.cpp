#include "core/textfile.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/paths.h"
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
