// The assessment: the twelve coefficients of Liquid, BCC and FCC fitted at once to the enthalpies
// and activities of the six data files and to the measured phase-boundary points, by weighted
// least squares on the scales on which each is measured, iterated by Levenberg-Marquardt from the
// straight-line fits with exact derivatives.
//
// Residuals, each over its scatter:
//   an enthalpy (J/mol) or ln a of an activity, against the model at the point's composition, the
//   file's scatter as the uncertainty companion estimates it (or given);
//   a point of a pair with the liquid, taken as an arrest: its temperature against the temperature
//   at which the stable boundary's measured side reaches its composition (K);
//   a point of the two solids, taken as a solvus composition: its composition against the stable
//   boundary's at its temperature;
//   a eutectic arrest: its temperature against the stable eutectic's.
// A point whose boundary the model lacks at that place (a liquidus arrest above the model's
// liquidus, a solvus at a temperature where the pair does not coexist) pulls by its driving
// force: how far the measured phase lies above the stable state at the point's composition and
// temperature (the lower hull of the curves), in units of R T sigma_x / (x (1 - x)), the change of
// the phase's potential that a composition error sigma_x makes near the boundary. It is zero
// where the phase is stable, so that the pull fades smoothly as the boundary reaches the point.
#pragma once

#include <vector>

#include "assessment/boundary_sensitivity.h"
#include "formats/boundary_points.h"
#include "formats/error_text.h"
#include "numeric/matrix.h"
#include "uncertainty/bootstrap.h"

// The scatter of each kind of boundary point.
struct BoundaryScatter {
    double arrest = 5.0;        // K: a liquidus or solidus arrest
    double composition = 0.01;  // a tie-line end or solvus composition
    double eutectic = 2.0;      // K: a eutectic arrest
};

enum PointKind { ARREST_POINT, COMPOSITION_POINT, EUTECTIC_POINT };

PointKind pointKind(const BoundaryPoint& point);

struct PointFit {
    PointKind kind;
    bool onBoundary;    // the model has the point's boundary there
    double computed;    // K or x of the model; NaN where it lacks the boundary
    double residual;    // measured - computed, K or x; NaN where the boundary is missing
    double normalised;  // over its scatter; the driving-force residual where the boundary is missing
};

// Count, root-mean-square of the normalised residuals and chi-square of one group.
struct GroupFit {
    int count;
    double rms;
    double chiSquare;
};

// The model and how it meets every datum.
struct JointFit {
    PhaseParameters model[3];
    double chiSquare;
    GroupFit files[3][2];  // [phase][ENTHALPY_FIT or ACTIVITY_FIT]
    GroupFit kinds[3];     // by PointKind
    std::vector<PointFit> points;
    bool haveEutectic;
    Vector4 eutectic;
};

struct Assessment {
    JointFit before;  // the straight-line fits
    JointFit after;
    int iterations;
    double covariance[COEFFICIENTS][COEFFICIENTS];  // of the assessed coefficients
    double standardError[COEFFICIENTS];
    double correlation[COEFFICIENTS][COEFFICIENTS];
    // J^T J of each data file's normalised residuals at the minimum, and the degrees of freedom of
    // its scatter (0 where given): how much of a derived quantity's variance rests on an
    // estimated scatter, for the Satterthwaite degrees of freedom of its interval.
    double fileNormal[3][2][COEFFICIENTS][COEFFICIENTS];
    int fileDegrees[3][2];
    // The factor on every interval: sqrt(chi-square / degrees of freedom) where the fit is poor,
    // else 1 (goodness_of_fit.h).
    double intervalScale = 1.0;
};

// Converged when an accepted step lowers chi-square by less than this share of it.
inline constexpr double ASSESSMENT_TOLERANCE = 1e-10;
inline constexpr int ASSESSMENT_ITERATION_LIMIT = 100;

// "a1 of FCC" and so on, for coefficient k (0 to 11).
const char* coefficientName(int k);

// The normalised residuals at `model`, their derivatives in the twelve coefficients (row by row,
// into `jacobian`), and the summary of the fit.
void assessmentResiduals(const FitSamples& samples, const std::vector<BoundaryPoint>& points,
                         const BoundaryScatter& scatter, const PhaseParameters (&model)[3], std::vector<double>& residuals,
                         std::vector<std::array<double, COEFFICIENTS>>& jacobian, JointFit& fit);

// The assessment from the straight-line fits of `samples`. Fails naming the coefficient the data
// cannot fix (a rank-deficient design), or when the iterations do not converge.
bool assessModel(const FitSamples& samples, const std::vector<BoundaryPoint>& points, const BoundaryScatter& scatter,
                 Assessment& assessment, ErrorText& error);
