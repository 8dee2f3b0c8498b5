// Reading back the result tables of phasediagram: the three phase-boundary tables and the
// eutectic table, with NaN and infinite fields taken as the values they are.
#pragma once

#include <string>
#include <vector>

#include "model/error_text.h"
#include "model/phase.h"

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

// One temperature of a band of phasediagram-uncertainty: nominal compositions and their 2.5 and
// 97.5 percentiles over the replicates.
struct BandTableRow {
    int T;
    double x[2];
    double low[2];
    double high[2];
    int failed;
};

struct BandTable {
    bool present;
    std::vector<BandTableRow> rows;
};

// The eutectic's nominal values with their 2.5 and 97.5 percentiles: T, xL, xBCC, xFCC.
struct EutecticBand {
    bool present;
    double nominal[4];
    double low[4];
    double high[4];
    int failed;
};

// The file name of a pair's band, "_Band(Li-FCC).txt" and so on, and of the eutectic's.
const char* bandFileName(PhasePair pair);
inline constexpr const char* EUTECTIC_BAND_FILE = "_Band(Eutectic).txt";

// Reads a band file; present stays false and nothing fails when the file does not exist.
bool readBandTable(const char* path, BandTable& band, ErrorText& error);
bool readEutecticBand(const char* path, EutecticBand& band, ErrorText& error);

// The file name of a pair's table, "_Data(Li-FCC).txt" and so on.
const char* boundaryFileName(PhasePair pair);

// Reads a phase-boundary table. Fails naming the file (and the line) when it cannot be opened or
// a line is not a title or a row of such a table. An empty file holds no rows.
bool readBoundaryTable(const char* path, BoundaryTable& table, ErrorText& error);

// Reads the eutectic table; a file of its title line only gives present = false.
bool readEutecticTable(const char* path, EutecticPoint& point, ErrorText& error);
