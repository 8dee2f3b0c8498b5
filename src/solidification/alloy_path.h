// Both paths of one alloy of any binary system, side by side: the transitions of the equilibrium
// path, the stretches and reactions of the Scheil path, and their rows on a grid of temperatures
// with the exact transitions in their places.
#pragma once

#include <vector>

#include "formats/solidification_table.h"
#include "solidification/scheil_path.h"

struct AlloyPath {
    double x0 = 0;
    std::vector<FieldSpan> spans;
    std::vector<PathEvent> events;  // equilibrium, by decreasing T
    ScheilPath scheil;
    std::vector<int> phases;        // the phases either path holds, in the system's order
    std::vector<AlloyPathRow> rows;
};

// The transitions of both paths of x0 on the diagram (its liquidus the first); false, with a
// message, where the alloy has no liquidus in the diagram or a tie-line cannot be solved.
bool alloyTransitions(const BinarySystem& system, const BinaryDiagram& diagram, double x0, AlloyPath& path,
                      ErrorText& error);

// The rows of both paths on the grid, and the phases they hold.
bool alloyPathRows(const BinarySystem& system, const BinaryDiagram& diagram, const PathGrid& grid, AlloyPath& path,
                   ErrorText& error);

// The last transition of either path (K): where the last liquid is used up, or the last
// equilibrium change.
double lastTransition(const AlloyPath& path);
