// How well the assessed model meets the data and the points taken together: chi-square against
// its degrees of freedom and the probability of so large a value were the model and the scatters
// right, the groups and points that contribute most beyond their share, and the points so far off
// that they are probably slips (a figure typed wrong), each with the assessment without it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "assessment/joint_fit.h"

// Below this probability the fit is poor: the data and the points contradict each other, or a
// scatter is stated too small, and the intervals are widened by sqrt(chi-square / degrees).
inline constexpr double POOR_FIT_PROBABILITY = 1e-3;
// A point this many of its standard deviations off is a candidate slip.
inline constexpr double SLIP_SIGMAS = 4.0;
// At most this many candidates are refitted without, and this many slips named.
inline constexpr int SLIP_CANDIDATES = 5;
inline constexpr int MAX_SLIPS = 3;

// A data file ([phase][kind]) or a boundary point, with its chi-square.
struct Contribution {
    bool isPoint;
    int phase;          // a file's
    int kind;           // ENTHALPY_FIT or ACTIVITY_FIT
    std::size_t point;  // index into the points
    int count;          // residuals: the file's points, 1 for a point
    double chiSquare;
};

// A point that probably holds a slip, and the assessment without it (and without the slips
// found before it).
struct ProbableSlip {
    std::size_t point;   // index into the points
    double normalised;   // its residual in the assessment of all points, in standard deviations
    double chiSquareWithout;
    int degreesWithout;
    bool haveEutectic;
    double eutecticWithout;  // K
};

struct GoodnessOfFit {
    int residuals;
    int degrees;  // residuals less the twelve coefficients
    double chiSquare;
    double probability;
    bool poor;    // probability below POOR_FIT_PROBABILITY
    double scale; // sqrt(chi-square / degrees) where poor, else 1: the factor on every interval
    std::vector<Contribution> largest;  // at most three, by chi-square beyond their count
    std::vector<ProbableSlip> slips;
};

// Judges the assessment `a` of these samples and points. Where the fit is poor, widens its
// intervals: sets a.intervalScale and multiplies its standard errors by it.
GoodnessOfFit judgeFit(const FitSamples& samples, const std::vector<BoundaryPoint>& points,
                       const BoundaryScatter& scatter, Assessment& a);

// "Li(a).txt" for a file, "Boundaries.txt line 12" for a point.
std::string contributorName(const Contribution& c, const std::vector<BoundaryPoint>& points);
