// Residual bootstrap of the six straight-line fits of the fitting stage, and the least-squares
// covariance of the same fits propagated to the model's coefficients.
//
// A replicate keeps the compositions and replaces each ordinate by its fitted value plus a
// residual of the same fit drawn with replacement and scaled by sqrt(n / (n - 2)); the replicate's
// coefficients are then derived from the refitted lines exactly as the fitting stage derives them.
#pragma once

#include <cstdint>
#include <random>

#include "model/error_text.h"
#include "model/fitting.h"
#include "model/measured_data.h"

inline constexpr int ENTHALPY_FIT = 0;
inline constexpr int ACTIVITY_FIT = 1;

// One fit: its points in the linearised coordinates, its line and its residuals.
struct FitSample {
    int n;
    double x[MAX_PAIRS];
    double y[MAX_PAIRS];
    double fitted[MAX_PAIRS];
    double residual[MAX_PAIRS];
    double scale;  // sqrt(n / (n - 2))
    LineFit line;
};

// The six fits, [phase][ENTHALPY_FIT or ACTIVITY_FIT].
struct FitSamples {
    FitSample fit[3][2];
};

// The fits of the measured data. Fails naming the phase and the file for a fit of fewer than three
// points or with an ordinate that is not finite: it has no scatter to resample.
bool prepareFits(const MeasuredData& data, FitSamples& samples, ErrorText& error);

// The nominal coefficients of a phase, as the fitting stage gives them.
PhaseParameters nominalCoefficients(const FitSamples& samples, PhaseIndex phase);

// An index uniform in 0 .. n-1, by rejection, so that the draws do not depend on the standard
// library's distributions.
std::uint64_t uniformIndex(std::mt19937_64& generator, std::uint64_t n);

// One replicate's coefficients of the three phases.
void replicateCoefficients(const FitSamples& samples, std::mt19937_64& generator, PhaseParameters (&model)[3]);

// Covariance of a phase's coefficients in their storage order a0, a1, b0, b1, from the
// least-squares covariance of its two fits (independent of each other).
void coefficientCovariance(const FitSamples& samples, PhaseIndex phase, double (&covariance)[4][4]);
