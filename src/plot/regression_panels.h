// What "Regression.svg" says: for each phase, its enthalpy fit and its activity fit as the fitting
// sees them, the measured points in the linearised coordinates, the fitted line, the coefficients
// with |r|, and the ordinate range that holds them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formats/data_files.h"
#include "model/fitting.h"

struct RegressionPanel {
    std::string title;         // the phase, the measured quantity and the file
    std::string coefficients;  // "a0 = ..., b0 = ..., |r| = ..."
    std::string derivation;    // how the coefficients follow from the line's intercept and slope
    std::string axisTitle;     // the ordinate, in J/mol
    std::vector<std::pair<double, double>> points;  // finite points with x in [0, 1]
    int skipped;               // points that are not finite
    bool lineFinite;
    LineFit line;
    double low;                // the ordinate axis
    double high;
    std::string note;          // what could not be drawn, or empty
};

// Panels [phase][0] for the enthalpy fit and [phase][1] for the activity fit.
void describeRegression(const MeasuredData& data, const PhaseFit (&fits)[3], RegressionPanel (&panels)[3][2]);
