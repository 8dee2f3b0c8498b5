// The result tables of phasediagram: "_Data(Li-FCC).txt", "_Data(Li-BCC).txt",
// "_Data(BCC-FCC).txt" and "_Data(Eutectic).txt". Their rows as the program writes them, and read
// back with NaN and infinite fields taken as the values they are.
//
// A phase-boundary row: "%d\t" T, "%f\t" x in the first phase, "%f\t" x in the second, "%d\t" the
// iteration count, then "\t Valid \t\n", or "\tInvalid\t\n" for the count 100. The eutectic row:
// "%f\t" T, xL, xBCC, xFCC, then "%d\t" the count, with no line end.
#pragma once

#include <string_view>
#include <vector>

#include "formats/error_text.h"
#include "formats/text_buffer.h"
#include "model/phase.h"
#include "numeric/matrix.h"

// The iteration count of a solve that did not converge, which labels a row Invalid.
inline constexpr int UNCONVERGED_COUNT = 100;

inline constexpr const char* LIQUID_FCC_FILE = "_Data(Li-FCC).txt";
inline constexpr const char* LIQUID_BCC_FILE = "_Data(Li-BCC).txt";
inline constexpr const char* BCC_FCC_FILE = "_Data(BCC-FCC).txt";
inline constexpr const char* EUTECTIC_FILE = "_Data(Eutectic).txt";

inline constexpr std::string_view EUTECTIC_TITLE = "Temp\t\tXb(L) \t\tXb(BCC) \t Xb(FCC) \tIteration\t\n";

// The file name of a pair's table, "_Data(Li-FCC).txt" and so on, and its title line.
const char* boundaryFileName(PhasePair pair);
std::string_view boundaryTitle(PhasePair pair);

// One row of a phase-boundary table: temperature, the two compositions, the iteration count and
// the validity label (Invalid for the count 100).
void appendSweepRow(TextBuffer& text, int T, const Vector4& result, int count);

// The eutectic row: result[0..3] = T, xL, xBCC, xFCC, and the count.
void appendEutecticRow(TextBuffer& text, const Vector4& result, int count);

// One row of a phase-boundary table.
struct BoundaryRow {
    int T;         // K
    double x[2];   // mole fraction of Ks in the first and the second phase of the pair
    int count;     // Newton iterations; 100 = not converged
    bool valid;    // the row's label
};

struct BoundaryTable {
    std::vector<BoundaryRow> rows;  // in file order; empty for a table of its title line only
};

// The row of the eutectic table, when there is one.
struct EutecticPoint {
    bool present;
    double T;      // K
    double xL;     // mole fractions of Ks in Liquid, BCC and FCC
    double xBCC;
    double xFCC;
    int count;
};

// Reads a phase-boundary table. Fails naming the file (and the line) when it cannot be opened or
// a line is not a title or a row of such a table. An empty file holds no rows.
bool readBoundaryTable(const char* path, BoundaryTable& table, ErrorText& error);

// Reads the eutectic table; a file of its title line only gives present = false.
bool readEutecticTable(const char* path, EutecticPoint& point, ErrorText& error);
