// "Reg_result.txt": the fitted coefficients of every phase with the |r| of the fit that gave them.
#pragma once

#include "formats/text_buffer.h"
#include "formats/error_text.h"
#include "model/fitting.h"

inline constexpr const char* REGRESSION_FILE = "Reg_result.txt";

// Appends the report's text to an empty buffer (whose room suffices for any coefficients).
void formatRegressionReport(const PhaseFit (&fits)[3], TextBuffer& text);

// Writes the report of the three phases (Liquid, BCC, FCC), replacing an earlier one only once
// the new one is complete. The file ends with its closing dashes, without a line end.
bool writeRegressionReport(const PhaseFit (&fits)[3], ErrorText& error);
