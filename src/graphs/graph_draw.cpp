#include "graphs/graph_draw.h"

namespace kinvalo {

void ComputeRegressionBelt(AppState&) {}
void DrawRegressionGraph(AppState&, Canvas&) {}
void ComputePartialGeometry(AppState&) {}
void DrawPartialGraph(AppState&, Canvas&) {}
void DrawCombinedGraph(AppState&, Canvas&) {}

}  // namespace kinvalo
