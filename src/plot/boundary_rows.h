// The tables' rows as the picture takes them: completed from the stable diagram where a table
// lacks a stable tie-line, each row's stability, the rows a model does not solve, and the pieces
// of line of a composition column.
#pragma once

#include <vector>

#include "plot/diagram_data.h"

// How far a table's row may lie from the solution of the model: six printed decimals and the
// solver's last step.
inline constexpr double ROW_TOLERANCE = 5e-6;

// Whether a row is a solved, Valid equilibrium.
bool isSolved(const BoundaryRow& row);

// Copies the tables into `completed` and replaces each row that is not Valid, at a temperature
// where the pair has a stable tie-line, by that tie-line of the stable diagram, the one continued
// from the nearest Valid row (each half of a gap from its own side) where there are several.
void completeBoundaries(const DiagramData& data, const StableDiagram& stable, BoundaryTable (&completed)[3],
                        std::vector<CompletedStretch>& stretches);

// The number of Valid rows of a table that the pair's equations of the model do not solve: the
// Newton refinement from the row's compositions ends more than 5e-6 away from them, or fails.
int rowsNotSolved(const PhaseParameters (&model)[3], PhasePair pair, const BoundaryTable& table);

// Whether each row of each table is a stable equilibrium (false for Invalid rows).
void classifyRows(const DiagramData& data, std::vector<bool> (&stable)[3]);

// The pieces of line of one composition column (0 or 1) of a table: Valid rows only, broken at
// Invalid rows, at missing temperatures and at jumps; a change between stable and metastable
// starts a new piece at the last point of the previous one.
std::vector<BoundarySegment> boundarySegments(const BoundaryTable& table, int column, const std::vector<bool>& stable);

