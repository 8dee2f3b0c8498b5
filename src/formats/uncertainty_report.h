// "Uncertainty.txt", the report of phasediagram-uncertainty: what it did, the scatter of each data
// file, and per coefficient and for the eutectic the nominal value, the replicates' sd, the 95 %
// interval, the linear sd and the failed replicates; and the records of that analysis from which
// the report and the band files are written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/band_files.h"
#include "model/phase.h"

inline constexpr const char* UNCERTAINTY_FILE = "Uncertainty.txt";

inline constexpr int BAND_STEP = 10;  // K between the temperatures of the bands

// Statistics of one quantity over the replicates in which it could be computed.
struct Summary {
    double nominal;
    double sd;    // sample standard deviation of the replicates; NaN with fewer than two values
    double low;   // the 95 % interval (bootstrap-t, see summarise)
    double high;
    int failed;   // replicates left out: their solve did not converge, or the value is not finite
};

// One temperature of a phase boundary: its nominal compositions and their spread.
struct BandRow {
    int T;
    Summary x[2];
};

// The scatter a data file was given or estimated to have.
struct FileScatter {
    int n;
    double sd;             // J/mol, or in ln a
    int degreesOfFreedom;  // 0: given by the user
};

struct UncertaintyResult {
    std::string fingerprint;      // of the data files analysed (formats/fingerprint)
    int replicates;
    std::uint64_t seed;
    int initialT;                 // the bands: every BAND_STEP K from initialT to below finalT
    int finalT;
    FileScatter scatter[3][2];    // [phase][enthalpy file, activity file]
    Summary coefficient[3][4];    // [phase][a0, a1, b0, b1]
    double linearSd[3][4];
    bool eutecticFound;
    Summary eutectic[4];          // T, xL, xBCC, xFCC
    double eutecticLinearSd[4];
    std::vector<BandRow> band[3];  // Liquid/FCC, Liquid/BCC, BCC/FCC
    std::vector<std::string> notes;
};

std::string formatUncertaintyReport(const UncertaintyResult& result);

// The rows of a pair's band file and the eutectic band, from the analysis.
std::vector<BandTableRow> bandRows(const UncertaintyResult& result, PhasePair pair);
EutecticBand eutecticBand(const UncertaintyResult& result);
