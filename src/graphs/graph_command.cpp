#include "graphs/graph_command.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/paths.h"
#include "graphs/graph_frame.h"
#include "graphs/graph_least_squares.h"
#include "graphs/graph_prep.h"

namespace kinvalo {

using namespace graph_detail;

std::optional<GraphKind> KindOfGraph(const GraphModel& model, const GraphOptions& options) {
  if (options.calcObs) return GraphKind::CalcObs;
  if (WithoutBreakpoint(model.type)) return GraphKind::Regression;
  if (model.type == FunctionType::TwoSlopes) return std::nullopt;
  return options.combined ? GraphKind::Combined : GraphKind::Partial;
}

DrawOutcome DrawGraph(GraphKind kind, const GraphModel& model, const PreparedGraph& prepared,
                      const GraphOptions& options, Canvas& canvas) {
  const bool regression = kind == GraphKind::Regression || kind == GraphKind::CalcObs;
  if (!HasVariation(prepared)) return {false, regression ? NoData : NoDataVariation};
  try {
    switch (kind) {
      case GraphKind::Regression:
      case GraphKind::CalcObs: DrawRegressionGraph(kind, model, prepared, options, canvas); break;
      case GraphKind::Partial: DrawPartialGraph(model, prepared, options, canvas); break;
      case GraphKind::Combined: DrawCombinedGraph(model, prepared, options, canvas); break;
    }
  } catch (const GraphRefused& refused) {
    return {false, refused.what()};
  }
  return {true, {}};
}

FunctionType PreparedTypeOf(const GraphModel& model, bool calcObs) {
  return calcObs ? FunctionType::StraightLine : model.type;
}

Redrawn RedrawGraph(const std::string& path, const GraphOptions& options, FunctionType preparedType,
                    Canvas& canvas) {
  return DrawReadGraph(ReadOutputFile(path, preparedType), path, options, canvas);
}

Redrawn DrawReadGraph(OutputReadResult read, const std::string& path, const GraphOptions& options,
                      Canvas& canvas) {
  Redrawn result;
  result.read = std::move(read);
  if (!result.read.model) return result;
  const GraphModel& model = *result.read.model;
  PreparedGraph prepared;
  try {
    prepared = PrepareGraph(model, options.calcObs);
  } catch (const std::overflow_error&) {
    result.failure = std::current_exception();
    return result;
  }
  const std::optional<GraphKind> kind = KindOfGraph(model, options);
  if (kind) result.drawing = DrawGraph(*kind, model, prepared, options, canvas);
  if (!options.leastSquares || !result.drawing.drawn) return result;
  result.note = DrawLeastSquaresOver(path, *kind, model, prepared, options.colour, canvas);
  return result;
}

std::string DrawLeastSquaresOver(const std::string& path, GraphKind kind, const GraphModel& model,
                                 const PreparedGraph& prepared, bool colour, Canvas& canvas) {
  const std::string lsq = ChangeFileExt(path, ".lsq");
  if (kind != GraphKind::Partial) {
    return "The least-squares line is drawn over the graph of a Type 3 or Type 4 result only.";
  }
  const std::optional<LeastSquaresLine> line = ReadLeastSquaresLine(lsq, model.type);
  if (!line) {
    return "The least-squares report \"" + lsq + "\" could not be read; the graph is drawn without its line.";
  }
  try {
    DrawLeastSquaresLine(*line, model, prepared, colour, canvas);
  } catch (const GraphRefused& refused) {
    return refused.what();
  }
  return {};
}

std::string PictureTitle(const GraphModel& model, const std::string& path) {
  const size_t first = model.title1.find_first_not_of(' ');
  if (first == std::string::npos) return ExtractFileName(path);
  return model.title1.substr(first, model.title1.find_last_not_of(' ') + 1 - first);
}

bool FileShowsBothTypes(const GraphModel& model) {
  if (model.x.empty()) return false;
  const double xMin = *std::min_element(model.x.begin(), model.x.end());
  // Without a breakpoint of the other type, a Type 3 result writes its own
  // breakpoint in the other's place, and a Type 4 result the smallest X.
  if (model.type == FunctionType::Threshold) return model.type4.breakpoint > model.breakpoint;
  if (model.type == FunctionType::Plateau) {
    return model.type3.breakpoint > xMin && model.type3.breakpoint < model.breakpoint;
  }
  return false;
}

}  // namespace kinvalo
