// The 95 % intervals of the assessed model: of any quantity with a gradient in the twelve
// coefficients, of the eutectic's temperature, and the bands of the stable boundaries, by linear
// propagation of the coefficients' covariance.
#pragma once

#include <vector>

#include "assessment/joint_fit.h"

// The 95 % interval of the assessed eutectic's temperature by linear propagation of the
// coefficients' covariance, with Student's t of the Satterthwaite degrees of freedom: the share of
// the variance that rests on each file's estimated scatter counts with that file's n - 2 (the
// boundary points' and given scatters are known), and counts more than its estimate where it
// competes with known scatter; widened by the assessment's intervalScale where the fit is poor.
// False where the model has no eutectic or its Jacobian is singular.
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
