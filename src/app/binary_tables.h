// The whole stable diagram of a database's binary system as tables: one per two-phase field, the
// invariant reactions and special points, and the eutectics.
//
// A field's table, "_Data(FIRST-SECOND).txt", names its phases in increasing x (a phase on both
// sides of its miscibility gap as FCC_A1#1 and FCC_A1#2; a second field of the same two phases in
// the same order at the same temperature, further along x, "_Data(FIRST-SECOND)(2).txt"; a field
// that leaves off and comes back keeps its table, its rows in two stretches): a title line
// "T(K)\tx(B) in FIRST\tx(B) in SECOND", then one row per whole kelvin where the field is stable;
// with the elements' masses, also "\twt%(B) in FIRST\twt%(B) in SECOND", the same compositions in
// weight percent.
//
// "_Invariants.txt": a title line, then one row per invariant reaction from the top down,
//   kind  T(K)  phase  x  phase  x  phase  x
// (kind eutectic, peritectic, monotectic, syntectic, eutectoid, peritectoid, monotectoid,
// metatectic; the phases in increasing x), then the points, "-" where a column has nothing:
//   congruent  T  the phase above  x  the phase forming  x  -  -
//   critical   T  the phase  x  -  -  -  -
//   melting / transformation  T  the phase above  0 or 1  the phase below  0 or 1  -  -
// and last, where a change between sections could not be solved as a reaction,
//   unresolved  T (between the two sections)  -  -  -  -  -  -
//
// "_Data(Eutectic).txt": a title line, then one row per eutectic from the top down,
//   T(K)  x in the liquid  first solid  x in it  second solid  x in it.
#pragma once

#include <string>
#include <vector>

#include "equilibrium/binary_diagram.h"
#include "formats/error_text.h"
#include "formats/tdb_binary.h"

struct WrittenTable {
    std::string name;
    int rows;
};

// Writes every table of the diagram, rows at whole kelvins from initialT to finalT - 1, through
// the outputs that replace earlier ones only when all are complete; `written` lists them, and
// `unsolved` counts the rows of a stable field whose tie-line Newton's method did not solve (left
// out of its table). `masses` (g/mol of the two elements, or null) adds the weight percents.
bool writeBinaryTables(const LoadedBinary& loaded, const BinaryDiagram& diagram, int initialT, int finalT,
                       const double* masses, std::vector<WrittenTable>& written, int& unsolved, ErrorText& error);
