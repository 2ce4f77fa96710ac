#include "cli/write_graph.h"

#include <exception>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "graphs/graph_command.h"
#include "graphs/picture_format.h"
#include "render/graph_picture.h"
#include "render/gui_app.h"
#include "render/qt_canvas.h"

namespace kinvalo {

namespace {

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

}  // namespace

// The file is read once, taking the level of the graph prepared from it:
// that of its own type, or of Type 1 for calc-obs.
int WriteGraph(const GraphCommandLine& line, std::ostream& out, std::ostream& err) {
  const GraphOptions options = DisplayOptions(line);
  const std::string& path = line.output;
  try {
    EnsureGuiApplication();
    OutputReadResult read = ReadOutputFile(path, [&](FunctionType fileType) {
      return options.calcObs ? FunctionType::StraightLine : fileType;
    });
    // Messages go to standard error, one per line.
    for (const std::string& message : ReadMessages(read, false)) err << message << '\n' << std::flush;
    if (!read.model) return 1;
    const GraphModel& model = *read.model;
    if (options.combined && (!HasHorizontalSegment(model.type) || !FileShowsBothTypes(model))) {
      err << "This result has only one breakpoint, so there is no combined graph.\n";
      return 1;
    }
    const FunctionType prepared = PreparedTypeOf(model, options.calcObs);

    // A bitmap or PNG of the graph's own size is the drawing itself; only
    // the other kinds paint the graph again from the calls kept.
    const std::optional<PictureFormat> format = PictureFormatOf(line.image);
    const bool asDrawn = line.scale == 1 && (format == PictureFormat::Bmp || format == PictureFormat::Png);
    std::optional<QtCanvas> bitmap;
    std::optional<GraphPicture> picture;
    Canvas& canvas = asDrawn ? static_cast<Canvas&>(bitmap.emplace()) : picture.emplace();
    const Redrawn redrawn = DrawReadGraph(std::move(read), path, options, canvas);
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
    if (asDrawn ? !bitmap->Save(line.image, reason)
                : !picture->Save(line.image, line.scale, PictureTitle(*redrawn.read.model, path), reason)) {
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

}  // namespace kinvalo
