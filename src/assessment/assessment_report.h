// "Assessment.txt": the coefficients before and after with their standard errors and correlation
// matrix, how each data file and each kind of boundary point is met before and after, every
// point's residual before and after (flagged beyond three standard deviations), and the stable
// eutectic before and after with the 95 % interval of its temperature.
#pragma once

#include <string>
#include <vector>

#include "assessment/goodness_of_fit.h"
#include "assessment/intervals.h"
#include "assessment/joint_fit.h"

inline constexpr const char* ASSESSMENT_FILE = "Assessment.txt";
inline constexpr const char* ASSESSED_DATABASE_FILE = "Assessed.tdb";

std::string formatAssessment(const Assessment& assessment, const GoodnessOfFit& goodness, const FitSamples& samples,
                             const std::vector<BoundaryPoint>& points, const BoundaryScatter& scatter);

// The goodness of fit in a line or two for standard output, and the warning (empty where the fit is
// fine and no point is a probable slip).
std::string goodnessLine(const GoodnessOfFit& goodness);
std::string fitWarning(const GoodnessOfFit& goodness, const std::vector<BoundaryPoint>& points);
