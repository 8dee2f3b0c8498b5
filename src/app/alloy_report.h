// What phasediagram-solidify computes and writes for one alloy of any binary system, the built-in
// model's or a database's: the system's diagram over the path's temperatures, both paths on the
// grid, the table's header lines, the picture and the line on standard output.
#pragma once

#include <string>
#include <vector>

#include "formats/solidification_table.h"
#include "plot/solidification_svg.h"
#include "solidification/alloy_path.h"

// How the outputs name the system: its elements as chemistry writes them, and where the system
// gives them, their masses (g/mol) for the weight percent.
struct AlloyNames {
    std::string system;  // "Ks-Ps", "Pb-Sn"
    std::string symbols[2];
    bool haveMasses;
    double masses[2];
};

// The path's grid as asked: ends not given are chosen from the alloy's transitions.
struct AlloyGrid {
    PathGrid grid;
    bool fromGiven;
    bool toGiven;
};

// What a failure of solveAlloy is: the model's (the message says what), the grid's ends against
// the alloy's liquidus, a grid of too many rows (a usage error), or a parameter undefined at some
// temperature (the reason kept by the system's parameter source, which the caller names).
enum class AlloyFailure { NONE, MODEL, GRID, ROWS, PARAMETERS };

// The system's diagram from 300 K (or the path's end) to its top, 50 K above its last solid (or the
// path's start), the alloy's transitions, the grid's ends where not given (20 K above the
// liquidus, 20 K below the last transition), and both paths' rows. On failure a message, and
// whether it is the model's or the grid's.
AlloyFailure solveAlloy(const BinarySystem& system, double x0, AlloyGrid& grid, BinaryDiagram& diagram,
                        AlloyPath& path, ErrorText& error);

// The header lines of the table: the alloy, its first transition, every transition of the
// equilibrium path with the phases' amounts and compositions on either side, every stretch and
// reaction of the Scheil path, and how the Scheil path ends.
std::vector<std::string> alloyHeader(const AlloyNames& names, const BinarySystem& system, const AlloyPath& path,
                                     const PathGrid& grid);

// The picture of both paths with their transitions marked, and each phase's amount.
SolidificationPicture alloyPicture(const AlloyNames& names, const BinarySystem& system, const AlloyPath& path,
                                   const PathGrid& grid);

// "Liquidus: 1121.1300 K; the Scheil path ends at 823.66 K (eutectic) with 0.5485 of liquid left"
std::string alloySummary(const AlloyPath& path);
