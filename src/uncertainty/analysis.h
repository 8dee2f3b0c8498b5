// The uncertainty analysis: replicates of the coefficients from the bootstrap, and for each the
// eutectic and the phase boundaries solved from the nominal solutions; their statistics beside
// the linear estimate.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/error_text.h"
#include "model/measured_data.h"
#include "numeric/matrix.h"
#include "formats/uncertainty_report.h"
#include "uncertainty/bootstrap.h"

// The p-quantile (0 <= p <= 1) of sorted, non-empty values, interpolating linearly between
// neighbouring order statistics.
double percentile(const std::vector<double>& sorted, double p);

// Summarises `values` (one per replicate, NaN for a replicate that failed) around `nominal`. With
// scale[r] the standard error that replicate r's own data give the quantity, relative to that of
// the measured data, the interval is the studentised bootstrap's: nominal - q(97.5 %) to
// nominal - q(2.5 %) of u_r = (values[r] - nominal) / scale[r]; without scales, scale[r] = 1.
// Percentiles interpolate linearly between order statistics. For a mole fraction (composition
// true) the pivots are formed on the scale of ln(x / (1 - x)), on which the chemical potentials
// and the spread of a small composition are even, and the interval is taken back to x.
Summary summarise(double nominal, const std::vector<double>& values, const std::vector<double>& scale = {},
                  bool composition = false);

struct UncertaintyOptions {
    int replicates = 2000;
    std::uint64_t seed = 20260101;
    int initialT = 500;  // the bands: every BAND_STEP K from initialT up to below finalT
    int finalT = 1600;
    GivenScatter given;  // sd given per file, else estimated
};

// Runs the analysis on the measured data. The nominal eutectic and the nominal stable boundaries
// are solved from the data alone, without random start values, so the same data, options and
// seed give the same result on every run. `progress` is called now and then with the percentage
// of the solves done. Fails, naming the phase and the file, on data whose scatter cannot be
// estimated.
bool analyseUncertainty(const MeasuredData& data, const UncertaintyOptions& options, UncertaintyResult& result,
                        ErrorText& error, const std::function<void(int)>& progress);
