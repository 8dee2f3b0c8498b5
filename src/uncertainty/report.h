// "Uncertainty.txt", the plain-text report of the analysis, and the band files that
// phasediagram-plot shades: "_Band(Li-FCC).txt", "_Band(Li-BCC).txt", "_Band(BCC-FCC).txt" and
// "_Band(Eutectic).txt".
#pragma once

#include <string>

#include "model/error_text.h"
#include "plot/result_tables.h"
#include "uncertainty/analysis.h"

inline constexpr const char* UNCERTAINTY_FILE = "Uncertainty.txt";

std::string formatUncertaintyReport(const UncertaintyResult& result, const UncertaintyOptions& options);

// A band file: title line, then per temperature "T, x and the low and high ends of its 95 %
// interval (the columns titled 2.5% and 97.5%) in the first phase, the same in the second, failed
// replicates", tab-separated.
std::string formatBand(const UncertaintyResult& result, PhasePair pair);

// The eutectic band: nominal and the ends of the 95 % interval of T, xL, xBCC and xFCC, then failed
// replicates.
std::string formatEutecticBand(const UncertaintyResult& result);

// Writes the report and the band files, each replacing an earlier one only once complete.
bool writeUncertaintyFiles(const UncertaintyResult& result, const UncertaintyOptions& options, ErrorText& error);
