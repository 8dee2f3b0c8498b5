// "Solidification.txt": the equilibrium and Scheil paths of one alloy, a row per temperature with
// the exact liquidus, solidus and eutectic rows in their places, under a header of "#" lines that
// sums them up; and "Solidification_band.txt", the 95 % bands of the fraction solid on both paths
// from the replicates of phasediagram-uncertainty's scatter model.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* SOLIDIFICATION_FILE = "Solidification.txt";
inline constexpr const char* SOLIDIFICATION_BAND_FILE = "Solidification_band.txt";

// One row of the path. NaN where a value does not exist (no liquid, two solids).
struct PathRow {
    double T;                // K
    double fsEquilibrium;    // fraction solid on the equilibrium path
    double xLiquidEquilibrium;
    double xSolidEquilibrium;  // the primary solid's composition; x0 once the alloy is one solid
    double fsScheil;         // fraction solid on the Scheil path
    double xLiquidScheil;    // the liquid's composition, on the liquidus
    double xSolidScheil;     // the composition of the solid forming at T
    const char* event;       // "", "liquidus", "solidus" or "eutectic"
};

// The temperatures of the rows: from `from` down to `to` (K) by `step`.
struct PathGrid {
    double from;
    double to;
    double step;
};

// One row of the path of an alloy of any binary system: both paths' fraction solid, liquid and
// solid compositions (NaN where none, or where two liquids or two solids leave it undefined), and
// each listed phase's amount on either path.
struct AlloyPathRow {
    double T;
    double fs[2];  // equilibrium, Scheil
    double xLiquid[2];
    double xSolid[2];
    std::vector<double> amount[2];  // by listed phase
    std::string event;
};

// The table of any binary's alloy: the header lines, the title line (the seven columns of the
// table above, then "PHASE(eq)" for each phase listed, "PHASE(Scheil)" for each, and the event),
// the rows, in the formats of the table above.
std::string formatAlloyPathTable(const std::vector<std::string>& header, const std::vector<std::string>& phases,
                                 const std::vector<AlloyPathRow>& rows);

// The 95 % band of the fraction solid at one temperature.
struct PathBandRow {
    double T;
    double equilibriumLow;
    double equilibriumHigh;
    double scheilLow;
    double scheilHigh;
    int failed;  // replicates whose path could not be solved
};

// The table: the header lines (each without its "# "), the title line, the rows; "%.4f" for
// temperatures, "%.6f" for fractions and compositions, "-" for a value that does not exist.
std::string formatSolidificationTable(const std::vector<std::string>& header, const std::vector<PathRow>& rows);

// The band of the replicates, under two comment lines that name the alloy and the fingerprint of
// the data it was computed from.
std::string formatSolidificationBand(const std::vector<PathBandRow>& rows, double x0, const std::string& fingerprint);
