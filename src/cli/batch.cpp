#include "cli/batch.h"

#include <cctype>
#include <exception>
#include <filesystem>
#include <system_error>
#include <ostream>

#include "calc/calculation.h"
#include "cli/json_report.h"
#include "core/headless_platform.h"
#include "core/paths.h"
#include "data/output_reader.h"
#include "graphs/graph_command.h"
#include "render/graph_picture.h"
#include "render/gui_app.h"

namespace kinvalo {

namespace {

constexpr const char* kUsage =
    "Usage: kinvalo-cli calculate FILE.inp [--prefer 3|4|best] [--confidence 90|95|98] [--json]\n"
    "       kinvalo-cli graph FILE.out IMAGE.bmp|.png|.svg|.pdf [--scale 2|3] [--bw]\n"
    "                         [--regression-line] [--belt] [--no-block] [--combined]\n"
    "                         [--calc-obs] [--least-squares]\n";

constexpr const char* kHelp =
    "kinvalo-cli - partial linear regression of Y upon X without the window.\n"
    "\n"
    "Usage: kinvalo-cli calculate FILE.inp [--prefer 3|4|best] [--confidence 90|95|98] [--json]\n"
    "       kinvalo-cli graph FILE.out IMAGE.bmp|.png|.svg|.pdf [--scale 2|3] [--bw]\n"
    "                         [--regression-line] [--belt] [--no-block] [--combined]\n"
    "                         [--calc-obs] [--least-squares]\n"
    "\n"
    "Options may stand before or after the file names; after -- every argument is\n"
    "a file name, so that a name may begin with -.\n"
    "\n"
    "calculate\n"
    "Reads the data sets of FILE.inp (an input file saved by Kinvalo) and looks for\n"
    "a breakpoint on the X axis beyond which the slope of Y may be taken as zero:\n"
    "first horizontal then sloping (Type 3), or first sloping then horizontal\n"
    "(Type 4). Without one, the result is the straight regression line (Type 1).\n"
    "\n"
    "The results are written beside the input file, which is never changed:\n"
    "  FILE.out  the full report: breakpoint, confidence limits, slopes, equations\n"
    "  FILE.txt  the explanation table of the breakpoint scan (Types 3 and 4 only)\n"
    "  FILE.var  the variance analysis (ANOVA table with F-tests)\n"
    "  FILE.lsq  least-squares fits beside it: the exact least-squares breakpoint of\n"
    "            Type 3 and Type 4 and the straight line, confidence limits of the\n"
    "            breakpoint and a bootstrap test of the breakpoint against the line\n"
    "\n"
    "  --prefer 3|4|best       prefer Type 3, prefer Type 4, or take the best of the\n"
    "                          two (default: best)\n"
    "  --confidence 90|95|98   minimum confidence in percent (default: 90)\n"
    "  --json                  instead of the list of files, one JSON object on\n"
    "                          standard output: the result, the least-squares fits\n"
    "                          and the messages, numbers in full precision\n"
    "\n"
    "graph\n"
    "Reads FILE.out back, as the window's graph commands do, and draws its graph\n"
    "into IMAGE, of the kind its name ends in: a Windows bitmap (.bmp) or a PNG\n"
    "(.png) of 623 x 465 pixels, or for print an SVG (.svg) or PDF (.pdf) drawing\n"
    "whose lines and text stay sharp at any size (the PDF one page of 16.5 x 12.3\n"
    "cm). Without options the graph shows the data, the lines through the\n"
    "breakpoint and the confidence block of the breakpoint.\n"
    "  --scale 2|3             a PNG two or three times the size, 1246 x 930 or\n"
    "                          1869 x 1395 pixels (for a .png only)\n"
    "  --bw                    black and white instead of colour\n"
    "  --regression-line       the regression line of each side of the breakpoint\n"
    "                          instead of the lines connecting them\n"
    "  --belt                  the confidence belt around the lines\n"
    "  --no-block              without the confidence block of the breakpoint\n"
    "  --combined              one line through both breakpoints (a result of\n"
    "                          \"Best of the two\" that found both types)\n"
    "  --calc-obs              observed Y against calculated Y\n"
    "  --least-squares         the least-squares broken line of the result's type\n"
    "                          (from FILE.lsq) and the limits of its breakpoint\n"
    "\n"
    "  --help                  show this text\n"
    "\n"
    "The messages that the window would show in message boxes, and the faults of\n"
    "a wrong command line, are written to standard error; the names of the files\n"
    "written, and this text, to standard output. Exit status: 0 when the result\n"
    "files (or the picture) were written, 1 when the data were refused or a file\n"
    "could not be read or written, 2 for a wrong command line.\n";

struct Options {
  std::string input;
  Preference preference = Preference::BestOfTwo;
  int confidence = 90;
  bool json = false;
};

struct GraphCommandLine {
  std::string output;
  std::string image;
  int scale = 1;  // of a PNG
  bool bw = false, regressionLine = false, belt = false, noBlock = false, combined = false,
       calcObs = false, leastSquares = false;
};

// The flags of the graph command as the window's display options.
GraphOptions DisplayOptions(const GraphCommandLine& line) {
  GraphOptions options;
  options.colour = !line.bw;
  options.regressionLine = line.regressionLine;
  options.belt = line.belt;
  options.block = !line.noBlock;
  options.combined = line.combined;
  options.calcObs = line.calcObs;
  options.leastSquares = line.leastSquares;
  return options;
}

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

std::string ParseGraphOptions(const std::vector<std::string>& args, GraphCommandLine& options) {
  std::vector<std::string> files;
  bool optionsEnded = false;  // after "--" every argument is a file name
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) files.push_back(arg);
    else if (arg == "--") optionsEnded = true;
    else if (arg == "--bw") options.bw = true;
    else if (arg == "--regression-line") options.regressionLine = true;
    else if (arg == "--belt") options.belt = true;
    else if (arg == "--no-block") options.noBlock = true;
    else if (arg == "--combined") options.combined = true;
    else if (arg == "--calc-obs") options.calcObs = true;
    else if (arg == "--least-squares") options.leastSquares = true;
    else if (arg == "--scale") {
      if (i + 1 >= args.size()) return "The option --scale needs a value.";
      const std::string& value = args[++i];
      if (value != "2" && value != "3") return "The scale must be 2 or 3.";
      options.scale = value[0] - '0';
    } else if (!arg.empty() && arg[0] == '-') return "Unknown option " + arg + ".";
    else files.push_back(arg);
  }
  if (files.size() != 2) return "The graph command needs an output file and an image file.";
  options.output = files[0];
  options.image = files[1];
  const std::optional<PictureFormat> format = PictureFormatOf(options.image);
  if (!format) return "The image file must end in .bmp, .png, .svg or .pdf.";
  // A bitmap has the size of the window's graph; SVG and PDF have no pixels.
  if (options.scale != 1 && format != PictureFormat::Png) {
    return "The option --scale is for a .png image only.";
  }
  return {};
}

// Returns an error text, empty when the command line is right.
std::string ParseOptions(const std::vector<std::string>& args, Options& options) {
  bool optionsEnded = false;  // after "--" every argument is a file name
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (optionsEnded) {
      if (!options.input.empty()) return "Only one input file can be given.";
      options.input = arg;
    } else if (arg == "--prefer" || arg == "--confidence") {
      if (i + 1 >= args.size()) return "The option " + arg + " needs a value.";
      const std::string& value = args[++i];
      if (arg == "--prefer") {
        if (value == "3") options.preference = Preference::PreferType3;
        else if (value == "4") options.preference = Preference::PreferType4;
        else if (value == "best") options.preference = Preference::BestOfTwo;
        else return "The preference must be 3, 4 or best.";
      } else {
        if (value == "90") options.confidence = 90;
        else if (value == "95") options.confidence = 95;
        else if (value == "98") options.confidence = 98;
        else return "The confidence must be 90, 95 or 98.";
      }
    } else if (arg == "--json") {
      options.json = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return "Unknown option " + arg + ".";
    } else if (options.input.empty()) {
      options.input = arg;
    } else {
      return "Only one input file can be given.";
    }
  }
  if (options.input.empty()) return "The input file is missing.";
  // The results are written under the input's name with these extensions;
  // an input file of that name would be overwritten by them.
  const std::string extension =
      Lowered(options.input.substr(ChangeFileExt(options.input, "").size()));
  if (extension == ".txt" || extension == ".out" || extension == ".var") {
    return "The input file must not end in .txt, .out or .var: the results are written under those names.";
  }
  return {};
}

// A wrong command line: the problem and the usage go to standard error.
int Usage(std::ostream& err, const std::string& problem) {
  err << problem << '\n' << kUsage << "Try 'kinvalo-cli --help' for more.\n";
  return 2;
}

int RunCalculate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  const std::string problem = ParseOptions(args, options);
  if (!problem.empty()) return Usage(err, problem);

  // The messages go to standard error, one a line; every question is answered No.
  HeadlessPlatform platform(&err);
  WorkingData dm(platform);
  JsonReport report{0, Confidence::FromPercent(options.confidence), options.preference, {}, std::nullopt};
  // With --json the object is all of standard output, whatever happens.
  auto finish = [&](int status) {
    if (options.json) {
      report.messages = platform.messages;
      out << CalculationJson(report) << '\n';
    }
    return status;
  };
  FunctionType type = FunctionType::NoRelation;
  try {
    // The files name their full path (the explanation table's first line).
    options.input = Absolute(options.input);
    dm.FileName = options.input;
    if (!dm.ReadInputFile()) return finish(1);
    // A file without data lines keeps the count of its header; there are
    // still no data to calculate with.
    if (dm.XData.empty()) dm.NrOfData = 0;
    ReplaceEmptyTitles(dm);
    dm.NrOfInputData = dm.NrOfData;
    report.n = dm.NrOfData;
    report.calculation = Calculate(dm, {report.confidence, options.preference}, platform);
    if (report.calculation->result.refusal) return finish(1);
    type = report.calculation->result.type;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    platform.messages.emplace_back(e.what());
    report.calculation.reset();
    return finish(1);
  }
  if (options.json) return finish(0);
  out << "Results of " << options.input << ":\n";
  const std::string txt = ChangeFileExt(options.input, ".txt");
  out << "  " << ChangeFileExt(options.input, ".out") << '\n';
  if (FileExists(txt) && HasHorizontalSegment(type)) out << "  " << txt << '\n';
  out << "  " << ChangeFileExt(options.input, ".var") << '\n';
  out << "  " << ChangeFileExt(options.input, ".lsq") << '\n';
  return 0;
}

// Draws as the window does when the user has clicked through to the same
// options and saves: the graph command reads the file and prepares the
// graph, the save reads it again and draws afresh.
int RunGraph(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  GraphCommandLine line;
  const std::string problem = ParseGraphOptions(args, line);
  if (!problem.empty()) return Usage(err, problem);

  const GraphOptions options = DisplayOptions(line);
  const std::string path = Absolute(line.output);
  bool olderFileWarned = false;
  // Messages go to standard error, one per line.
  auto show = [&](const OutputReadResult& read) {
    for (const std::string& message : ReadMessages(read, olderFileWarned)) err << message << '\n' << std::flush;
    olderFileWarned = olderFileWarned || read.olderFile;
  };
  try {
    EnsureGuiApplication();
    const OutputReadResult first = ReadOutputFile(path, FunctionType::NoRelation);
    show(first);
    if (!first.model) return 1;
    const GraphModel& model = *first.model;
    if (options.combined && (!HasHorizontalSegment(model.type) || !FileShowsBothTypes(model))) {
      err << "This result has only one breakpoint, so there is no combined graph.\n";
      return 1;
    }
    const FunctionType prepared = PreparedTypeOf(model, options.calcObs);

    GraphPicture canvas;
    const Redrawn redrawn = RedrawGraph(path, options, prepared, canvas);
    show(redrawn.read);
    if (redrawn.failure) std::rethrow_exception(redrawn.failure);
    if (!redrawn.drawing.drawn) {
      if (!redrawn.drawing.message.empty()) {
        err << redrawn.drawing.message << '\n' << std::flush;
      } else if (prepared == FunctionType::TwoSlopes) {
        err << "A graph of function type 2 can not be drawn.\n";
      }
      return 1;
    }
    if (!redrawn.note.empty()) err << redrawn.note << '\n' << std::flush;
    std::string reason;
    if (!canvas.Save(line.image, line.scale, PictureTitle(*redrawn.read.model, path), reason)) {
      err << reason << '\n';
      return 1;
    }
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return 1;
  }
  out << "Graph of " << path << " written to " << line.image << '\n';
  return 0;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "--") break;  // a file may be named --help
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
  }
  if (!args.empty() && args[0] == "calculate") return RunCalculate(args, out, err);
  if (!args.empty() && args[0] == "graph") return RunGraph(args, out, err);
  return Usage(err, "Unknown command.");
}

}  // namespace kinvalo
