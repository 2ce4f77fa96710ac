#include "cli/batch.h"

#include <cctype>
#include <exception>
#include <filesystem>
#include <system_error>
#include <ostream>

#include "calc/calculation.h"
#include "core/paths.h"

namespace kinvalo {

namespace {

constexpr const char* kUsage =
    "Usage: kinvalo-cli calculate FILE.inp [--prefer 3|4|best] [--confidence 90|95|98]\n";

constexpr const char* kHelp =
    "kinvalo-cli - partial linear regression of Y upon X without the window.\n"
    "\n"
    "Usage: kinvalo-cli calculate FILE.inp [--prefer 3|4|best] [--confidence 90|95|98]\n"
    "\n"
    "Reads the data sets of FILE.inp (an input file saved by Kinvalo) and looks for\n"
    "a breakpoint on the X axis beyond which the slope of Y may be taken as zero:\n"
    "first horizontal then sloping (Type 3), or first sloping then horizontal\n"
    "(Type 4). Without one, the result is the straight regression line (Type 1).\n"
    "\n"
    "The results are written beside the input file, which is never changed:\n"
    "  FILE.out  the full report: breakpoint, confidence limits, slopes, equations\n"
    "  FILE.txt  the explanation table of the breakpoint scan (Types 3 and 4 only)\n"
    "  FILE.var  the variance analysis (ANOVA table with F-tests)\n"
    "\n"
    "Options:\n"
    "  --prefer 3|4|best       prefer Type 3, prefer Type 4, or take the best of the\n"
    "                          two (default: best)\n"
    "  --confidence 90|95|98   minimum confidence in percent (default: 90)\n"
    "  --help                  show this text\n"
    "\n"
    "The messages that the window would show in message boxes are written to\n"
    "standard error. Exit status: 0 when the result files were written, 1 when the\n"
    "data were refused or could not be read, 2 for a wrong command line.\n";

// Messages go to standard error, one per line; nothing is asked or waited for.
class BatchPlatform : public Platform {
 public:
  explicit BatchPlatform(std::ostream& err) : err_(err) {}
  void ShowMessage(const std::string& text) override { err_ << text << '\n' << std::flush; }
  bool AskYesNo(const std::string& text) override {
    ShowMessage(text);
    return false;
  }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions&) override { return {}; }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions&) override { return {}; }
  void Wait(int) override {}

 private:
  std::ostream& err_;
};

struct Options {
  std::string input;
  Preference preference = Preference::BestOfTwo;
  int confidence = 90;
};

// Returns an error text, empty when the command line is right.
std::string ParseOptions(const std::vector<std::string>& args, Options& options) {
  if (args.empty() || args[0] != "calculate") return "Unknown command.";
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--prefer" || arg == "--confidence") {
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
  std::string extension = options.input.substr(ChangeFileExt(options.input, "").size());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".txt" || extension == ".out" || extension == ".var") {
    return "The input file must not end in .txt, .out or .var: the results are written under those names.";
  }
  return {};
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
  }
  Options options;
  const std::string problem = ParseOptions(args, options);
  if (!problem.empty()) {
    out << problem << '\n' << kUsage << "Try 'kinvalo-cli --help' for more.\n";
    return 2;
  }

  BatchPlatform platform(err);
  AppState state(platform);
  state.PreferenceQuery = [&options] { return options.preference; };
  TDMTulmex& dm = state.DM;
  try {
    // The files name their full path (the explanation table's first line).
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(options.input, ec);
    if (!ec) options.input = absolute.lexically_normal().string();
    dm.FileName = options.input;
    if (!dm.ReadInputFile()) return 1;
    // A file without data lines keeps the count of its header; there are
    // still no data to calculate with.
    if (dm.XData.empty()) dm.NrOfData = 0;
    ReplaceEmptyTitles(dm);
    state.R.NrOfInputData = dm.NrOfData;
    state.R.ConfidenceFactor = ConfidenceFactorFor(options.confidence);
    if (!CalculateResults(state)) return 1;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return 1;
  }
  out << "Results of " << options.input << ":\n";
  const std::string txt = ChangeFileExt(options.input, ".txt");
  out << "  " << ChangeFileExt(options.input, ".out") << '\n';
  if (FileExists(txt) && (state.R.ResultType == 3 || state.R.ResultType == 4)) out << "  " << txt << '\n';
  out << "  " << ChangeFileExt(options.input, ".var") << '\n';
  return 0;
}

}  // namespace kinvalo
