// phasediagram-calibration: generates data sets from a known model with known measurement scatter,
// runs the uncertainty analysis on each, and prints how often its 95 % intervals contain the
// truth, the mean reported sd and the sd of the estimates across the data sets.
#include <getopt.h>

#include <cstdio>
#include <cstdlib>

#include "uncertainty/calibration.h"

namespace {

// A model of our own, not the example's: a eutectic near 790 K.
constexpr PhaseParameters TRUTH[3] = {
    {-13500.0, 2.4, 3800.0, -1.5},
    {12600.0, -1.8, -4400.0, 2.2},
    {14800.0, -2.6, 5300.0, -1.9},
};

constexpr const char* HELP =
    "Usage: phasediagram-calibration [--data-sets N] [--replicates R] [--points n] [--enthalpy-sd S]\n"
    "                                [--activity-sd S] [--seed S]\n"
    "Coverage of phasediagram-uncertainty's 95 % intervals on N data sets (default 200) of n\n"
    "compositions per file (default 12) generated from a fixed model with Gaussian scatter of S J/mol\n"
    "on the enthalpies (default 60) and S on ln a (default 0.004), R replicates each (default 2000).\n";

}  // namespace

int main(int argc, char** argv)
{
    CalibrationSetup setup{{TRUTH[0], TRUTH[1], TRUTH[2]}, 12, 60.0, 0.004, 200, 2000, 1};
    const option longOptions[] = {
        {"data-sets", required_argument, nullptr, 'd'}, {"replicates", required_argument, nullptr, 'r'},
        {"points", required_argument, nullptr, 'n'},    {"enthalpy-sd", required_argument, nullptr, 'e'},
        {"activity-sd", required_argument, nullptr, 'a'}, {"seed", required_argument, nullptr, 's'},
        {"help", no_argument, nullptr, 'h'},            {nullptr, 0, nullptr, 0},
    };
    for (int c; (c = getopt_long(argc, argv, "h", longOptions, nullptr)) != -1;) {
        switch (c) {
        case 'd': setup.dataSets = std::atoi(optarg); break;
        case 'r': setup.replicates = std::atoi(optarg); break;
        case 'n': setup.points = std::atoi(optarg); break;
        case 'e': setup.enthalpySd = std::atof(optarg); break;
        case 'a': setup.activitySd = std::atof(optarg); break;
        case 's': setup.seed = std::strtoull(optarg, nullptr, 10); break;
        case 'h': std::fputs(HELP, stdout); return 0;
        default: std::fputs(HELP, stderr); return 2;
        }
    }
    if (setup.dataSets < 2 || setup.replicates < 2 || setup.points < 3 || setup.points > 50) {
        std::fputs(HELP, stderr);
        return 2;
    }
    CalibrationResult result;
    if (!runCalibration(setup, result)) {
        std::fputs("phasediagram-calibration: the model has no stable eutectic\n", stderr);
        return 1;
    }
    std::printf("%d data sets of %d compositions per file, sd %g J/mol and %g in ln a, %d replicates\n",
                setup.dataSets, setup.points, setup.enthalpySd, setup.activitySd, setup.replicates);
    std::printf("%-14s %12s %12s %9s %12s %12s %12s\n", "quantity", "truth", "mean", "coverage", "mean sd",
                "mean lin. sd", "sd of values");
    for (int r = 0; r < CALIBRATION_ROWS; ++r) {
        const CalibrationRow& row = result.row[r];
        std::printf("%-14s %12.6g %12.6g %8.1f%% %12.6g %12.6g %12.6g\n", calibrationRowName(r), result.truth[r],
                    row.meanEstimate, row.counted > 0 ? 100.0 * row.covered / row.counted : 0.0, row.meanSd,
                    row.meanLinearSd, row.sdOfEstimates);
    }
    if (result.failedDataSets > 0) std::printf("data sets the analysis refused: %d\n", result.failedDataSets);
    return 0;
}
