#include "graphs/graph_command.h"

#include "data/output_reader.h"
#include "graphs/graph_draw.h"
#include "graphs/graph_prep.h"

namespace kinvalo {

bool RedrawGraph(AppState& s, Canvas& canvas) {
  if (!ProbeOutputFile(s)) return false;
  ReadOutputFile(s);
  if (s.DM.NotOutputFile || s.DM.GraphKind != " Fun") return false;
  SelectGraphData(s);
  ScaleAxes(s);
  SetAxisLabels(s);
  s.Controls.GraphImageVisible = false;
  const GraphState& g = s.Graph;
  if (g.GraphType < 2) {
    DrawRegressionGraph(s, canvas);
  } else if (g.GraphType > 2) {
    if (g.CombineTypes) {
      DrawCombinedGraph(s, canvas);
    } else {
      DrawPartialGraph(s, canvas);
    }
  }
  return s.Controls.GraphImageVisible;
}

bool FileShowsBothTypes(const AppState& s) {
  const GraphState& g = s.Graph;
  const SharedResults& r = s.R;
  const DataArrayR& x = s.DM.GraphXData;
  if (x.empty()) return false;
  double xMin = x.front();
  for (double v : x) xMin = v < xMin ? v : xMin;
  // Without a breakpoint of the other type, a Type 3 result writes its own
  // breakpoint in the other's place, and a Type 4 result the smallest X.
  if (g.FileType == 3) return r.BPType4 > g.FileBreakPoint;
  if (g.FileType == 4) return r.BPType3 > xMin && r.BPType3 < g.FileBreakPoint;
  return false;
}

}  // namespace kinvalo
