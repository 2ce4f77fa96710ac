#pragma once
// A graph drawn afresh from the output file, as the graph commands do
// before they save a picture: read back, prepare, and draw the kind that
// the function type and the display options call for.
#include "data/app_state.h"
#include "graphs/canvas.h"

namespace kinvalo {

// Draws the graph of the output file named by DM.FileName with the display
// options of the graph state. Returns true when a graph was drawn; false
// when the file was refused or the graph could not be made (the reason has
// been shown). Throws GraphRefused for a graph that does not fit the
// picture.
bool RedrawGraph(AppState& s, Canvas& canvas);

// Whether the file just read holds a second breakpoint of the other type,
// as a result under "Best of the two" that found both types does. Call it
// right after the file has been read, before the graph is prepared.
bool FileShowsBothTypes(const AppState& s);

}  // namespace kinvalo
