// "Regression.svg": each phase's two straight-line fits as the fitting sees them, the measured
// points in the linearised coordinates, the fitted line, and the coefficients with |r|.
#pragma once

#include <string>

#include "model/fitting.h"
#include "model/measured_data.h"

inline constexpr const char* REGRESSION_PLOT_FILE = "Regression.svg";

// Six panels: Liquid, BCC and FCC downwards, the enthalpy fit left and the activity fit right.
std::string drawRegression(const MeasuredData& data, const PhaseFit (&fits)[3]);
