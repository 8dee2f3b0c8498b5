// "Assessment.txt": the coefficients before and after with their standard errors and correlation
// matrix, how each data file and each kind of boundary point is met before and after, every
// point's residual before and after (flagged beyond three standard deviations), and the stable
// eutectic before and after with the 95 % interval of its temperature.
#pragma once

#include <string>
#include <vector>

#include "assessment/joint_fit.h"

inline constexpr const char* ASSESSMENT_FILE = "Assessment.txt";
inline constexpr const char* ASSESSED_DATABASE_FILE = "Assessed.tdb";

std::string formatAssessment(const Assessment& assessment, const FitSamples& samples,
                             const std::vector<BoundaryPoint>& points, const BoundaryScatter& scatter);

// The 95 % interval of the assessed eutectic's temperature by linear propagation of the
// coefficients' covariance; false where the model has no eutectic or its Jacobian is singular.
bool eutecticInterval(const Assessment& assessment, double& low, double& high);
