// "Regression.svg": the six fit panels drawn as a self-contained SVG picture, Liquid, BCC and FCC
// downwards, the enthalpy fit left and the activity fit right.
#pragma once

#include <string>

#include "plot/regression_panels.h"

inline constexpr const char* REGRESSION_PLOT_FILE = "Regression.svg";

std::string drawRegression(const RegressionPanel (&panels)[3][2]);
