#pragma once
// A graph drawn afresh from the output file, as the graph commands do
// before they save a picture: read back, prepare, and draw the kind that
// the function type and the display options call for.
#include <exception>
#include <string>

#include "data/graph_model.h"
#include "data/output_reader.h"
#include "graphs/canvas.h"
#include "graphs/graph_draw.h"

namespace kinvalo {

struct Redrawn {
  OutputReadResult read;  // the file as read back
  DrawOutcome drawing;    // not drawn when the read was refused or for Type 2
  // Set when the graph could not be prepared (std::overflow_error: data
  // that are not finite or too far apart for an axis); the caller shows
  // the read's messages first and then rethrows it.
  std::exception_ptr failure;
  // Said after a graph drawn without the least-squares line it was asked for.
  std::string note;
};

// Reads the output file at `path` (taking the level of `preparedType`, see
// ReadOutputFile) and draws its graph with `options`; the least-squares
// line comes from the .lsq file beside it.
Redrawn RedrawGraph(const std::string& path, const GraphOptions& options, FunctionType preparedType,
                    Canvas& canvas);

// Draws the graph of the output file at `path` as RedrawGraph does, from
// `read`, the file as read already.
Redrawn DrawReadGraph(OutputReadResult read, const std::string& path, const GraphOptions& options,
                      Canvas& canvas);

// Draws the least-squares line and limits of the .lsq file beside the
// output file `path` over the partial graph of `model` on `canvas`; what to
// say when they are not drawn, else nothing.
std::string DrawLeastSquaresOver(const std::string& path, GraphKind kind, const GraphModel& model,
                                 const PreparedGraph& prepared, bool colour, Canvas& canvas);

// The function type a graph of `model` is prepared for: Type 1 for the
// calc-obs graph, else the model's own.
FunctionType PreparedTypeOf(const GraphModel& model, bool calcObs);

// The title a saved picture names in its description: the graph's first
// title line, or the file name of the output file `path` when it is blank.
std::string PictureTitle(const GraphModel& model, const std::string& path);

// Whether the file holds a second breakpoint of the other type, as a
// result under "Best of the two" that found both types does.
bool FileShowsBothTypes(const GraphModel& model);

}  // namespace kinvalo
