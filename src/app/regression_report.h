// "Reg_result.txt": the fitted coefficients of every phase with the |r| of the fit that gave them.
#pragma once

#include "model/error_text.h"
#include "model/fitting.h"

inline constexpr const char* REGRESSION_FILE = "Reg_result.txt";

// Writes the report of the three phases (Liquid, BCC, FCC), replacing an earlier one only once
// the new one is complete. The file ends with its closing dashes, without a line end.
bool writeRegressionReport(const PhaseFit (&fits)[3], ErrorText& error);
