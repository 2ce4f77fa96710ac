// kinvalo-cli graph: every example drawn in every variant, and the
// refusals a user meets.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "cli/batch.h"
#include "cli/write_graph.h"
#include "render/gui_app.h"
#include "support/cli_process.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;

struct CliResult {
  int status;
  std::string out, err;
};

CliResult Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunBatch(args, out, err, WriteGraph);
  return {status, out.str(), err.str()};
}

// Calculates an example in `dir` and returns the path of its .out file.
std::string Calculated(const TempDir& dir, const std::string& name) {
  const std::string input = dir / (name + ".inp");
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", input);
  const CliResult run = Cli({"calculate", input});
  EXPECT_EQ(run.status, 0) << run.err;
  return dir / (name + ".out");
}

int ColouredPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      count += qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) ? 0 : 1;
    }
  }
  return count;
}

struct Example {
  const char* name;
  bool bothTypes;
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.name; }

class GraphEveryExample : public ::testing::TestWithParam<Example> {};

TEST_P(GraphEveryExample, DrawsEveryVariantInColourAndBlackAndWhite) {
  TempDir dir;
  const std::string out = Calculated(dir, GetParam().name);
  std::vector<std::vector<std::string>> variants = {
      {}, {"--regression-line"}, {"--regression-line", "--belt"}, {"--no-block"}, {"--calc-obs"}};
  if (GetParam().bothTypes) {
    variants.push_back({"--combined"});
    variants.push_back({"--combined", "--regression-line"});
  }
  for (const auto& variant : variants) {
    for (const bool bw : {false, true}) {
      const std::string image = dir / (std::string(bw ? "bw" : "colour") + ".bmp");
      std::vector<std::string> args = {"graph", out, image};
      args.insert(args.end(), variant.begin(), variant.end());
      if (bw) args.push_back("--bw");
      std::string label;
      for (const auto& v : args) label += v + " ";
      const CliResult run = Cli(args);
      ASSERT_EQ(std::tuple(run.status, run.err), std::tuple(0, "")) << label;
      EXPECT_EQ(ReadBytes(image).substr(0, 2), "BM") << label;
      const QImage picture(QString::fromStdString(image));
      ASSERT_EQ(picture.size(), QSize(623, 465)) << label;
      const int coloured = ColouredPixels(picture);
      EXPECT_TRUE(bw ? coloured == 0 : coloured > 100) << label << coloured;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, GraphEveryExample,
                         ::testing::Values(Example{"salinity", false}, Example{"fertiliser", false},
                                           Example{"straight", false}, Example{"watertable", true},
                                           Example{"waterlogging", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// "--" ends the options, so that a file name may begin with '-'; a PNG
// name gives a PNG. (Standard error is not compared: the binary's also
// holds what a sanitizer reports of the drawing libraries.)
TEST(GraphCli, WritesAPngForAPngNameAfterTheEndOfTheOptions) {
  TempDir dir;
  std::filesystem::rename(Calculated(dir, "salinity"), dir / "-salinity.out");
  const test::CliRun run = test::RunCli(dir, "graph --bw -- -salinity.out -salinity.PNG");
  EXPECT_EQ(std::tuple(run.status, run.out),
            std::tuple(0, "Graph of " + (dir / "-salinity.out") + " written to -salinity.PNG\n"))
      << run.err;
  EXPECT_EQ(ReadBytes(dir / "-salinity.PNG").substr(1, 3), "PNG");
}

// Each ending writes its kind of file, --scale a larger PNG; another
// ending, or a scale that is not 2 or 3 of a PNG, is a wrong command line.
TEST(GraphCli, EachEndingWritesItsKindAndAWrongOneGivesTheUsage) {
  TempDir dir;
  const std::string out = Calculated(dir, "salinity");
  const std::vector<std::pair<std::vector<std::string>, std::string>> written = {
      {{"g.bmp"}, "BM"},
      {{"g.PNG"}, "\x89PNG"},
      {{"g.svg"}, "<?xml"},
      {{"g.pdf"}, "%PDF-"},
      {{"g2.png", "--scale", "2"}, "\x89PNG"}};
  for (auto [args, start] : written) {
    args.insert(args.begin(), {"graph", out}), args[2] = dir / args[2];
    const CliResult run = Cli(args);
    EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(0, "")) << args[2];
    EXPECT_EQ(ReadBytes(args[2]).substr(0, start.size()), start) << args[2];
  }
  EXPECT_EQ(QImage(QString::fromStdString(dir / "g2.png")).size(), QSize(1246, 930));
  // The first title names the drawing, escaped.
  std::string input = ReadBytes(std::string(KINVALO_EXAMPLES) + "/salinity.inp");
  test::WriteBytes(dir / "t.inp", input.replace(0, input.find_first_of("\r\n"), "Yield & <salt>"));
  ASSERT_EQ(Cli({"calculate", dir / "t.inp"}).status + Cli({"graph", dir / "t.out", dir / "t.svg"}).status,
            0);
  EXPECT_NE(ReadBytes(dir / "t.svg").find("<title>Yield &amp; &lt;salt&gt;</title>"), std::string::npos);

  const std::string usage =
      "       kinvalo-cli graph FILE.out IMAGE.bmp|.png|.svg|.pdf [--scale 2|3] [--bw]\n"
      "                         [--regression-line] [--belt] [--no-block] [--combined]\n"
      "                         [--calc-obs] [--least-squares]\n"
      "       kinvalo-cli [--quiet] ...   kinvalo-cli --version   kinvalo-cli --help\n"
      "Try 'kinvalo-cli --help' for more.\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"g.jpg"}, "The image file must end in .bmp, .png, .svg or .pdf."},
      {{"g.svg", "--scale", "2"}, "The option --scale is for a .png image only."},
      {{"g.png", "--scale", "1"}, "The scale must be 2 or 3."},
      {{"g.png", "--scale"}, "The option --scale needs a value."}};
  for (auto [args, problem] : refused) {
    args.insert(args.begin(), {"graph", out});
    const CliResult run = Cli(args);
    EXPECT_EQ(run.status, 2) << problem;
    EXPECT_TRUE(run.err.starts_with(problem + "\nUsage: kinvalo-cli ") && run.err.ends_with(usage))
        << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "g.jpg"));
}

TEST(GraphCli, RefusalsGiveTheWindowsMessagesAndStatusOne) {
  TempDir dir;
  const std::string input = dir / "salinity.inp";
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/salinity.inp", input);
  const std::string out = Calculated(dir, "fertiliser");

  // Values edited too far apart for any axis refuse the graph.
  std::string edited = ReadBytes(out);
  for (const auto& [row, y] : {std::pair{"\r\n   1 ", "1.00E+308"}, std::pair{"\r\n   2 ", "-1.0E+308"}}) {
    const size_t at = edited.find(row);
    ASSERT_NE(at, std::string::npos);
    edited.replace(edited.find('E', at) - 4, 9, y);  // the observed Y, 9 characters of E(12.3)
  }
  test::WriteBytes(dir / "edited.out", edited);
  const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
      {{input, dir / "a.bmp"}, "This is not a Kinvalo output file. It can not be read.\n"},
      {{dir / "gone.out", dir / "a.bmp"},
       "The file \"" + (dir / "gone.out") + "\"could not be opened. It may be damaged or in use by another program. "
                                          "The system reports: No such file or directory.\n"},
      {{out, dir / "a.bmp", "--combined"}, "This result has only one breakpoint, so there is no combined graph.\n"},
      {{dir / "edited.out", dir / "a.bmp"}, "The data are too large to draw a graph axis.\n"},
      {{out, dir / "no-such-folder/a.bmp"}, "could not be written"},
      {{dir.path().string(), dir / "a.bmp"}, "The file \"" + dir.path().string() + "\" could not be read: it is a folder.\n"}};
  for (const auto& [args, message] : refusals) {
    std::vector<std::string> line = {"graph"};
    line.insert(line.end(), args.begin(), args.end());
    const CliResult run = Cli(line);
    EXPECT_EQ(run.status, 1) << message;
    if (message.ends_with("\n")) EXPECT_EQ(run.err, message);
    else EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "a.bmp"));
}

// Installed, kinvalo-cli loads its graph module from the folder the
// installation gives it; a module that cannot be loaded is named, with why.
TEST(GraphCli, LoadsTheInstalledGraphModuleAndNamesOneThatFails) {
  TempDir dir;
  Calculated(dir, "salinity");
  const std::filesystem::path program = dir.path() / KINVALO_INSTALLED_CLI;
  const std::filesystem::path module = dir.path() / KINVALO_INSTALLED_GRAPH;
  for (const auto& file : {program, module}) std::filesystem::create_directories(file.parent_path());
  std::filesystem::copy_file(KINVALO_CLI, program);
  std::filesystem::copy_file(KINVALO_CLI_GRAPH, module);
  EXPECT_EQ(test::RunCli(dir, "graph salinity.out a.png", program).status, 0);
  EXPECT_EQ(ReadBytes(dir / "a.png").substr(1, 3), "PNG");
  test::WriteBytes(module, "");
  const test::CliRun run = test::RunCli(dir, "graph salinity.out b.png", program);
  EXPECT_EQ(std::tuple(run.status, run.out, run.err),
            std::tuple(1, "", "kinvalo-cli cannot load " + module.string() +
                                  ", which draws the graphs: file too short\n"));
}

}  // namespace
}  // namespace kinvalo
