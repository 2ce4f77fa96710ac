#include "graphs/graph_command.h"

#include <algorithm>
#include <stdexcept>

#include "graphs/graph_frame.h"
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
  Redrawn result;
  result.read = ReadOutputFile(path, preparedType);
  if (!result.read.model) return result;
  const GraphModel& model = *result.read.model;
  PreparedGraph prepared;
  try {
    prepared = PrepareGraph(model, options.calcObs);
  } catch (const std::overflow_error&) {
    result.failure = std::current_exception();
    return result;
  }
  if (const std::optional<GraphKind> kind = KindOfGraph(model, options)) {
    result.drawing = DrawGraph(*kind, model, prepared, options, canvas);
  }
  return result;
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
