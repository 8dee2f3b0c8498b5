// Simulation-based calibration of the uncertainty analysis: data sets generated from a known
// model with known measurement scatter, each analysed as a user's data would be, and how often the
// 95 % intervals contain the truth, beside the reported sd and the sd of the estimates across the
// data sets.
#pragma once

#include <cstdint>

#include "model/measured_data.h"
#include "model/phase.h"
#include "uncertainty/bootstrap.h"

struct CalibrationSetup {
    PhaseParameters truth[3];  // Liquid, BCC, FCC
    int points;                // compositions per file, 0.05 to 0.95 evenly
    double enthalpySd;         // J/mol, additive
    double activitySd;         // in ln a: relative scatter of the activity
    int dataSets;
    int replicates;
    std::uint64_t seed;
};

// How one quantity fared over the data sets that could be analysed.
struct CalibrationRow {
    int covered;          // data sets whose 95 % interval holds the truth
    int counted;          // data sets with an interval
    double meanSd;        // mean of the bootstrap sd
    double meanLinearSd;  // mean of the linear sd
    double sdOfEstimates; // sd of the nominal estimates across the data sets
    double meanEstimate;  // mean of the nominal estimates
};

// Rows 0 .. 11: the coefficients of Liquid, BCC, FCC in the order a0, a1, b0, b1; rows 12 .. 15:
// the eutectic's T, xL, xBCC, xFCC.
inline constexpr int CALIBRATION_ROWS = 16;

struct CalibrationResult {
    CalibrationRow row[CALIBRATION_ROWS];
    double truth[CALIBRATION_ROWS];
    int failedDataSets;  // refused by the analysis or without a nominal eutectic
};

// "Liquid a0" ... "FCC b1", "eutectic T", "eutectic xL", "eutectic xBCC", "eutectic xFCC".
const char* calibrationRowName(int row);

// The six files' data of the model at `points` compositions, with Gaussian scatter of the given sd
// on each enthalpy and on each ln a; data of the kind the program reads (enthalpies of formation
// with the pure-component terms for the solids, activities at 1500 K and 1100 K).
void simulateMeasurements(const PhaseParameters (&truth)[3], int points, double enthalpySd, double activitySd,
                          GaussianSource& gauss, MeasuredData& data);

// Runs the whole calibration; false when the true model has no stable eutectic.
bool runCalibration(const CalibrationSetup& setup, CalibrationResult& result);
