// "PhaseDiagram.svg": the three phase boundaries of the tables against the mole fraction of Ks,
// stable parts solid and metastable parts dashed, the eutectic, and the phase fields named.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/phase.h"
#include "plot/result_tables.h"

inline constexpr const char* DIAGRAM_FILE = "PhaseDiagram.svg";

// Neighbouring rows of one line whose compositions differ by more than this belong to different
// roots of the equations, and the line breaks between them.
inline constexpr double JUMP_LIMIT = 0.02;

struct DiagramData {
    BoundaryTable tables[3];  // Liquid/FCC, Liquid/BCC, BCC/FCC (PhasePair - 1)
    EutecticPoint eutectic;
    PhaseParameters model[3];  // Liquid, BCC, FCC
    BandTable bands[3];        // of phasediagram-uncertainty, where present
    EutecticBand eutecticBand;
};

// A piece of boundary line: points (x, T) and whether the equilibria along it are stable.
struct BoundarySegment {
    std::vector<std::pair<double, double>> points;
    bool stable;
};

// Temperatures at which the picture completed a table: a stretch with no Valid row where the
// hull of the curves shows the pair's two phases side by side.
struct CompletedStretch {
    int pair;  // PhasePair
    int from;  // K, inclusive
    int to;
};

// Copies the tables into `completed` and replaces each row that is not Valid, at a temperature
// where the pair has a stable tie-line, by that tie-line: solved by continuation from the nearest
// Valid row (each half of a gap from its own side), or from the hull where there is none, with
// Newton's method and the tables' convergence rule, and kept only when stable.
void completeBoundaries(const DiagramData& data, BoundaryTable (&completed)[3], std::vector<CompletedStretch>& stretches);

// Whether each row of each table is a stable equilibrium (false for Invalid rows).
void classifyRows(const DiagramData& data, std::vector<bool> (&stable)[3]);

// The pieces of line of one composition column (0 or 1) of a table: Valid rows only, broken at
// Invalid rows, at missing temperatures and at jumps; a change between stable and metastable
// starts a new piece at the last point of the previous one.
std::vector<BoundarySegment> boundarySegments(const BoundaryTable& table, int column, const std::vector<bool>& stable);

// The eutectic as a three-phase equilibrium: stable when every phase lies on or above the line
// through the FCC and BCC points at its temperature.
bool isStableEutectic(const PhaseParameters (&model)[3], const EutecticPoint& eutectic);

// The whole picture. `notes` receives what it says about missing pieces, one sentence each.
std::string drawPhaseDiagram(const DiagramData& data, std::vector<std::string>& notes);
