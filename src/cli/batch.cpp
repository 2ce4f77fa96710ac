#include "cli/batch.h"

#include <cctype>
#include <charconv>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>

#include "calc/calculation.h"
#include "cli/json_report.h"
#include "cli/run_queue.h"
#include "core/headless_platform.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/version.h"
#include "data/delimited_file.h"
#include "graphs/picture_format.h"

namespace kinvalo {

namespace {

constexpr const char* kUsage =
    "Usage: kinvalo-cli calculate FILE... [--prefer 3|4|best] [--confidence 90|95|98] [--json]\n"
    "                             [--y NAME|NUMBER] [--x NAME|NUMBER] [--force] [-j N]\n"
    "       kinvalo-cli graph FILE.out IMAGE.bmp|.png|.svg|.pdf [--scale 2|3] [--bw]\n"
    "                         [--regression-line] [--belt] [--no-block] [--combined]\n"
    "                         [--calc-obs] [--least-squares]\n"
    "       kinvalo-cli [--quiet] ...   kinvalo-cli --version   kinvalo-cli --help\n";

constexpr const char* kHelp =
    "kinvalo-cli - partial linear regression of Y upon X without the window.\n"
    "\n"
    "Usage: kinvalo-cli calculate FILE... [--prefer 3|4|best] [--confidence 90|95|98] [--json]\n"
    "                             [--y NAME|NUMBER] [--x NAME|NUMBER] [--force] [-j N]\n"
    "       kinvalo-cli graph FILE.out IMAGE.bmp|.png|.svg|.pdf [--scale 2|3] [--bw]\n"
    "                         [--regression-line] [--belt] [--no-block] [--combined]\n"
    "                         [--calc-obs] [--least-squares]\n"
    "       kinvalo-cli [--quiet] ...   kinvalo-cli --version   kinvalo-cli --help\n"
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
    "FILE may also be a data file of columns, as spreadsheets save them: comma-,\n"
    "semicolon- or tab-separated text (.csv, .tsv or any name but .inp), with a\n"
    "header row or without, with a decimal point or a decimal comma. Y is its first\n"
    "column of numbers and X its second, unless --y and --x choose others. Rows\n"
    "without a number in both are left out, and a message says which. The two\n"
    "columns are written as the input file FILE.inp beside the data file (as the\n"
    "window saves pasted data), which is then calculated as above.\n"
    "\n"
    "  --prefer 3|4|best       prefer Type 3, prefer Type 4, or take the best of the\n"
    "                          two (default: best)\n"
    "  --confidence 90|95|98   minimum confidence in percent (default: 90)\n"
    "  --json                  instead of the list of files, one JSON object on\n"
    "                          standard output: the result, the least-squares fits\n"
    "                          and the messages, numbers in full precision\n"
    "  --y NAME|NUMBER         the column of a data file taken as Y: its name in\n"
    "  --x NAME|NUMBER         the header row, or its number counted from 1\n"
    "  --force                 replace the FILE.inp of a data file when it exists\n"
    "                          (otherwise the data file is refused)\n"
    "  -j N                    calculate up to N files at the same time\n"
    "\n"
    "Several files are calculated one after another (with -j N, side by side), each\n"
    "as if it were given alone. Standard output then has one line per file, in the\n"
    "order given:\n"
    "  a.inp: Type 3, breakpoint at X = 6.0706; a.out a.txt a.var a.lsq\n"
    "  b.csv: Type 1, no breakpoint; b.inp b.out b.var b.lsq\n"
    "  c.inp: not calculated\n"
    "or with --json one JSON object per line, with the file's name under \"file\".\n"
    "Each message on standard error starts with the name of its file. The exit\n"
    "status is the worst of the files'. Runs that share their result files (a.csv\n"
    "and a.inp, or one file named twice) never run side by side.\n"
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
    "  --quiet                 nothing on standard output when all went well\n"
    "                          (messages still go to standard error)\n"
    "  --version               show the version of the program\n"
    "  --help                  show this text\n"
    "\n"
    "The messages that the window would show in message boxes, and the faults of\n"
    "a wrong command line, are written to standard error; the names of the files\n"
    "written, and this text, to standard output. Exit status: 0 when the result\n"
    "files (or the picture) were written, 1 when the data were refused or a file\n"
    "could not be read or written, 2 for a wrong command line (then no file is\n"
    "calculated).\n";

struct Options {
  std::vector<std::string> inputs;
  Preference preference = Preference::BestOfTwo;
  int confidence = 90;
  bool json = false;
  std::optional<std::string> y, x;  // columns of a data file
  bool force = false;               // a data file may replace its .inp
  int jobs = 1;
};

// The most files calculated at the same time.
constexpr int kMaxJobs = 256;

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
  options.output = Absolute(files[0]);
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
      options.inputs.push_back(arg);
    } else if (arg == "--prefer" || arg == "--confidence" || arg == "--y" || arg == "--x" ||
               arg.starts_with("-j")) {
      // -j takes its number also without a blank: -j4.
      const bool attached = arg.starts_with("-j") && arg.size() > 2;
      if (!attached && i + 1 >= args.size()) return "The option " + arg + " needs a value.";
      const std::string value = attached ? arg.substr(2) : args[++i];
      if (arg == "--prefer") {
        if (value == "3") options.preference = Preference::PreferType3;
        else if (value == "4") options.preference = Preference::PreferType4;
        else if (value == "best") options.preference = Preference::BestOfTwo;
        else return "The preference must be 3, 4 or best.";
      } else if (arg == "--confidence") {
        if (value == "90") options.confidence = 90;
        else if (value == "95") options.confidence = 95;
        else if (value == "98") options.confidence = 98;
        else return "The confidence must be 90, 95 or 98.";
      } else if (arg == "--y") {
        options.y = value;
      } else if (arg == "--x") {
        options.x = value;
      } else {
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), options.jobs);
        if (ec != std::errc() || end != value.data() + value.size() || options.jobs < 1 ||
            options.jobs > kMaxJobs) {
          return "The number of files calculated at the same time must be a whole number from 1 to " +
                 std::to_string(kMaxJobs) + ".";
        }
      }
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--force") {
      options.force = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return "Unknown option " + arg + ".";
    } else {
      options.inputs.push_back(arg);
    }
  }
  if (options.inputs.empty()) return "The input file is missing.";
  // The results are written under the input's name with these extensions;
  // an input file or a data file of that name would be overwritten by them.
  for (const std::string& input : options.inputs) {
    const std::string extension = LowerCaseExtension(input);
    if (extension == ".txt" || extension == ".out" || extension == ".var" || extension == ".lsq") {
      return "The file " + input +
             " must not end in .txt, .out, .var or .lsq: the results are written under those names.";
    }
  }
  return {};
}

// A wrong command line: the problem and the usage go to standard error.
int Usage(std::ostream& err, const std::string& problem) {
  err << problem << '\n' << kUsage << "Try 'kinvalo-cli --help' for more.\n";
  return 2;
}

// A data file of columns rather than an input file: a name ending in .csv
// or .tsv, or any name but .inp whose fifth line is not the count line of an
// input file (" Number of data sets:  40"). A file that is not there, or no
// regular file, goes to the input-file reader, which tells why it cannot be
// read.
bool IsDataFile(const std::string& path) {
  const std::string extension = LowerCaseExtension(path);
  if (extension == ".inp") return false;
  if (extension == ".csv" || extension == ".tsv") return true;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  std::string head(65536, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  size_t start = 0;
  for (int line = 1; line < 5 && start < head.size(); ++line) {
    start = head.find_first_of("\r\n", start);
    if (start == std::string::npos) return true;
    start += head.compare(start, 2, "\r\n") == 0 ? 2 : 1;
  }
  start = head.find_first_not_of(' ', start);
  return start == std::string::npos || head.compare(start, 19, "Number of data sets") != 0;
}

// Y and X of a data file: the columns named, and for one not named the first
// column of numbers besides the other.
ColumnChoice ChooseColumns(const DelimitedFile& file, const Options& options) {
  if (!options.y && !options.x) return file.DefaultColumns();
  const std::optional<int> y = options.y ? std::optional(file.FindColumn(*options.y)) : std::nullopt;
  const std::optional<int> x = options.x ? std::optional(file.FindColumn(*options.x)) : std::nullopt;
  if (y && x) return {*y, *x};
  const int named = y ? *y : *x;
  int other = named;
  for (int c = file.ColumnCount() - 1; c >= 0; --c) {
    if (c != named && file.IsNumeric(c)) other = c;
  }
  return y ? ColumnChoice{named, other} : ColumnChoice{other, named};
}

std::string InputExistsMessage(const std::string& path) {
  return "The input file \"" + path + "\" exists already. Give --force to replace it.";
}

// What became of one file of the command.
struct FileOutcome {
  int status = 1;
  std::string messages;  // as shown, one a line (unless shown as they came)
  std::string path;      // the file given, absolute
  std::string written;   // the input file written from a data file
  std::string input;     // the input file calculated
  FunctionType type = FunctionType::NoRelation;
  double breakpoint = 0;
  bool hasTxt = false;
  JsonReport report;
};

// Calculates one file given on the command line. Its messages go to `live`
// as they come, or else are kept in the outcome.
FileOutcome CalculateFile(const std::string& given, const Options& options, std::ostream* live) {
  FileOutcome o;
  std::ostringstream kept;
  // Every question is answered No.
  HeadlessPlatform platform(live != nullptr ? live : &kept);
  o.report.confidence = Confidence::FromPercent(options.confidence);
  o.report.preference = options.preference;
  auto finish = [&](int status) {
    o.status = status;
    o.messages = kept.str();
    o.report.messages = platform.messages;
    // The result is kept for the JSON object only.
    if (!options.json) o.report.calculation.reset();
    return o;
  };
  try {
    // The files name their full path (the explanation table's first line).
    o.path = o.input = Absolute(given);
    if (IsDataFile(o.path)) {
      const DelimitedFile file = DelimitedFile::Read(o.path);
      if (!file.RaggedRowsMessage().empty()) platform.ShowMessage(file.RaggedRowsMessage());
      const PastedData data = file.AsPasted(ChooseColumns(file, options));
      if (!data.leftOutMessage.empty()) platform.ShowMessage(data.leftOutMessage);
      std::error_code ec;
      if (!options.force && std::filesystem::exists(std::filesystem::symlink_status(data.inputPath, ec))) {
        platform.ShowMessage(InputExistsMessage(data.inputPath));
        return finish(1);
      }
      WorkingData pasted(platform);
      if (!WritePastedInputFile(data, pasted)) return finish(1);
      o.written = o.input = data.inputPath;
    }
    // From here on as for an input file given itself.
    WorkingData dm(platform);
    dm.FileName = o.input;
    if (!dm.ReadInputFile()) return finish(1);
    // A file without data lines keeps the count of its header; there are
    // still no data to calculate with.
    if (dm.XData.empty()) dm.NrOfData = 0;
    ReplaceEmptyTitles(dm);
    dm.NrOfInputData = dm.NrOfData;
    o.report.n = dm.NrOfData;
    o.report.calculation = Calculate(dm, {o.report.confidence, options.preference}, platform);
    const SearchResult& result = o.report.calculation->result;
    if (result.refusal) return finish(1);
    o.type = result.type;
    o.breakpoint = result.breakpoint;
    o.hasTxt = FileExists(ChangeFileExt(o.input, ".txt")) && HasHorizontalSegment(o.type);
  } catch (const std::exception& e) {
    platform.ShowMessage(e.what());
    o.report.calculation.reset();
    return finish(1);
  }
  return finish(0);
}

// The files a run wrote, named as `input` names its input file: the input
// file of a data file first, then the results.
std::vector<std::string> WrittenFiles(const FileOutcome& o, const std::string& input) {
  std::vector<std::string> files;
  if (!o.written.empty()) files.push_back(ChangeFileExt(input, ".inp"));
  files.push_back(ChangeFileExt(input, ".out"));
  if (o.hasTxt) files.push_back(ChangeFileExt(input, ".txt"));
  files.push_back(ChangeFileExt(input, ".var"));
  files.push_back(ChangeFileExt(input, ".lsq"));
  return files;
}

// The line of one file among several: "salinity.inp: Type 3, breakpoint at
// X = 6.0706; salinity.out salinity.txt salinity.var salinity.lsq", or
// "salinity.inp: not calculated".
std::string SummaryLine(const FileOutcome& o, const std::string& given) {
  if (o.status != 0) return given + ": not calculated";
  std::string line = given + ": Type " + std::to_string(FileNumber(o.type));
  if (HasHorizontalSegment(o.type)) {
    char number[32];
    // Ten digits: enough for dates and coordinates, without the noise of the scan.
    const auto end =
        std::to_chars(number, number + sizeof number, o.breakpoint, std::chars_format::general, 10).ptr;
    line += ", breakpoint at X = " + std::string(number, end);
  } else {
    line += ", no breakpoint";
  }
  line += ";";
  for (const std::string& file : WrittenFiles(o, given)) line += " " + file;
  return line;
}

// Every line of `text` with `prefix` before it.
std::string Prefixed(const std::string& text, const std::string& prefix) {
  std::string lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines += prefix + text.substr(start, end - start);
    start = end;
  }
  if (!lines.empty() && lines.back() != '\n') lines += '\n';
  return lines;
}

// The runs of one result set: the folder (links followed) and the base name
// of the input file, which a data file shares with the input file it writes.
std::string ResultSetKey(const std::string& given) {
  const std::filesystem::path path = Absolute(given);
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), ec);
  if (ec) folder = path.parent_path();
  return (folder / ChangeFileExt(path.filename().string(), "")).string();
}

int RunCalculate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool quiet) {
  Options options;
  const std::string problem = ParseOptions(args, options);
  if (!problem.empty()) return Usage(err, problem);
  if (quiet && options.json) return Usage(err, "The options --quiet and --json exclude each other.");
  std::ostream discarded(nullptr);
  std::ostream& shown = quiet ? discarded : out;

  if (options.inputs.size() == 1) {
    const FileOutcome o = CalculateFile(options.inputs.front(), options, &err);
    // With --json the object is all of standard output, whatever happens.
    if (options.json) {
      shown << CalculationJson(o.report) << '\n';
    } else if (o.status == 0) {
      shown << "Results of " << o.path << ":\n";
      for (const std::string& file : WrittenFiles(o, o.path)) shown << "  " << file << '\n';
    }
    return o.status;
  }

  // Several files: one line each on standard output, in the order given,
  // and their messages on standard error, each after the name of its file.
  std::vector<std::string> keys;
  for (const std::string& input : options.inputs) keys.push_back(ResultSetKey(input));
  std::vector<FileOutcome> outcomes(options.inputs.size());
  int status = 0;
  RunInOrder(
      keys, options.jobs, [&](size_t i) { outcomes[i] = CalculateFile(options.inputs[i], options, nullptr); },
      [&](size_t i) {
        FileOutcome o = std::move(outcomes[i]);
        const std::string& given = options.inputs[i];
        status = std::max(status, o.status);
        err << Prefixed(o.messages, given + ": ") << std::flush;
        if (options.json) {
          o.report.file = given;
          shown << CalculationJson(o.report, true) << '\n';
        } else {
          shown << SummaryLine(o, given) << '\n';
        }
        shown.flush();
      });
  return status;
}

// The graph command: its command line is read here, without Qt; `writeGraph`
// draws and saves the graph.
int RunGraph(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             GraphRunner writeGraph) {
  GraphCommandLine line;
  const std::string problem = ParseGraphOptions(args, line);
  if (!problem.empty()) return Usage(err, problem);
  return writeGraph(line, out, err);
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             GraphRunner writeGraph) {
  for (const std::string& arg : args) {
    if (arg == "--") break;  // a file may be named --help
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
  }
  // --quiet may stand anywhere before "--", also before the command.
  std::vector<std::string> rest;
  bool quiet = false;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--version") {
      out << "kinvalo-cli " << kVersion << '\n';
      return 0;
    }
    if (!optionsEnded && arg == "--quiet") {
      quiet = true;
      continue;
    }
    optionsEnded = optionsEnded || arg == "--";
    rest.push_back(arg);
  }
  if (!rest.empty() && rest[0] == "calculate") return RunCalculate(rest, out, err, quiet);
  std::ostream discarded(nullptr);
  if (!rest.empty() && rest[0] == "graph") return RunGraph(rest, quiet ? discarded : out, err, writeGraph);
  return Usage(err, "Unknown command.");
}

}  // namespace kinvalo
