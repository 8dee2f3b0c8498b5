// The uncertainty analysis: replicates of the coefficients from the bootstrap, and for each the
// eutectic and the phase boundaries solved from the nominal solutions; their statistics beside
// the linear estimate.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/error_text.h"
#include "model/measured_data.h"
#include "numeric/matrix.h"
#include "plot/result_tables.h"

// Statistics of one quantity over the replicates in which it could be computed.
struct Summary {
    double nominal;
    double sd;    // sample standard deviation; NaN with fewer than two values
    double low;   // 2.5 and 97.5 percentiles (linear interpolation between order statistics)
    double high;
    int failed;   // replicates left out: their solve did not converge, or the value is not finite
};

// Summarises `values` (one per replicate, NaN for a replicate that failed) around `nominal`.
Summary summarise(double nominal, std::vector<double> values);

struct UncertaintyOptions {
    int replicates = 2000;
    std::uint64_t seed = 20260101;
    bool rangeGiven = false;  // otherwise the range of the tables, else 500 to 1600
    int initialT = 500;
    int finalT = 1600;
};

// One temperature of a phase boundary: its nominal compositions and their spread.
struct BandRow {
    int T;
    Summary x[2];
};

struct UncertaintyResult {
    int initialT;
    int finalT;
    Summary coefficient[3][4];    // [phase][a0, a1, b0, b1]
    double linearSd[3][4];
    bool eutecticFound;
    Summary eutectic[4];          // T, xL, xBCC, xFCC
    double eutecticLinearSd[4];
    std::vector<BandRow> band[3];  // Liquid/FCC, Liquid/BCC, BCC/FCC
    std::vector<std::string> notes;
};

// Runs the analysis on the measured data; `tables`, where the folder holds them, give the range
// and the nominal boundaries (which are refined with the nominal coefficients), and `eutecticRow`
// a start for the nominal eutectic if the program's own start fails. `progress` is called now and
// then with the percentage of the solves done. Fails, naming the phase and the file, on data that
// cannot be resampled.
bool analyseUncertainty(const MeasuredData& data, const BoundaryTable* tables, const EutecticPoint* eutecticRow,
                        const UncertaintyOptions& options, UncertaintyResult& result, ErrorText& error,
                        const std::function<void(int)>& progress);
