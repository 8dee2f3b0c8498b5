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
// coefficients' covariance, with Student's t of the Satterthwaite degrees of freedom: the share of
// the variance that rests on each file's estimated scatter counts with that file's n - 2 (the
// boundary points' and given scatters are known). False where the model has no eutectic or its
// Jacobian is singular.
bool eutecticInterval(const Assessment& assessment, double& low, double& high);

// The half-width of the 95 % interval of any quantity with gradient `gradient` in the twelve
// coefficients at the assessed model, the same way.
double halfWidth95(const Assessment& assessment, const double (&gradient)[COEFFICIENTS]);

// The 95 % band of one side of a pair's stable boundary at one temperature.
struct BoundaryBandRow {
    PhasePair pair;
    int side;
    double T;     // K
    double low;   // mole fractions
    double high;
};

// The bands of every stable boundary of the assessed model from `low` to `high` K every `step` K.
std::vector<BoundaryBandRow> boundaryBands(const Assessment& assessment, double low, double high, double step);

// The 97.5 % quantile of Student's t with `degrees` degrees of freedom (infinite: the normal's),
// by the Cornish-Fisher expansion, within 2e-3 from 3 degrees of freedom up.
double studentQuantile975(double degrees);
