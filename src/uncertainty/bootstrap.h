// Parametric bootstrap of the six straight-line fits, with the scatter of each data file modelled
// on the scale on which it is measured, and the linear propagation of the same scatter.
//
// Each file f holds n points (x_i, m_i): m an enthalpy in J/mol (additive scatter) or ln a of an
// activity (relative scatter of a). Its fit line has ordinates y_i = y(x_i, m_i), linear in m with
// slope d_i = dy/dm: 1 / (x (1 - x)) for enthalpies, R T / (1 - x)^2 or R T / x^2 for activities.
// One sd per file, sigma_f, estimated from a weighted fit (weights 1 / d_i^2, so each point counts
// by its measurement scatter) as sigma^2 = sum ((y_i - line_i) / d_i)^2 / (n - 2), or given.
//
// A replicate of file f takes the measurement fitted by the program's own line (ordinary least
// squares, as Reg_result.txt reports it), adds a Gaussian draw of sd sigma_f, and puts the result
// through the same ordinate and the same fit; it also estimates sigma_f anew from its own values,
// so that the intervals can be studentised (bootstrap-t): that sigma_f rests on few points, and
// that the program's estimate is correlated with it, is then carried by the replicates themselves.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "formats/error_text.h"
#include "model/fitting.h"
#include "formats/data_files.h"

inline constexpr int ENTHALPY_FIT = 0;
inline constexpr int ACTIVITY_FIT = 1;

// One data file's fit and its scatter.
struct FitSample {
    PhaseIndex phase;
    int kind;                    // ENTHALPY_FIT or ACTIVITY_FIT
    int n;
    double x[MAX_PAIRS];
    double y[MAX_PAIRS];         // ordinates of the measured data
    double slope[MAX_PAIRS];     // d_i = dy/dm at each point
    double fitted[MAX_PAIRS];    // the measurement on the program's line (J/mol, or ln a)
    LineFit line;                // the program's fit
    double sd;                   // sigma used: estimated or given (J/mol, or in ln a)
    int degreesOfFreedom;        // n - 2 for an estimated sd, 0 for a given one
};

// The six fits, [phase][ENTHALPY_FIT or ACTIVITY_FIT].
struct FitSamples {
    FitSample fit[3][2];
};

// A given sd per file ([phase][kind]); a value below zero means "estimate it from the data".
struct GivenScatter {
    double sd[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
};

// The file a fit reads its measured values from.
const char* fitFileName(PhaseIndex phase, int kind);

// The fits of the measured data and their scatter. Fails naming the phase and the file for a fit
// of fewer than three points, a value whose ordinate is not finite, or compositions that do not
// determine a line.
bool prepareFits(const MeasuredData& data, const GivenScatter& given, FitSamples& samples, ErrorText& error);

// The nominal coefficients of a phase, as the fitting stage gives them.
PhaseParameters nominalCoefficients(const FitSamples& samples, PhaseIndex phase);

// Standard Gaussian variates by the polar method from the generator's raw 64-bit output, again
// independent of the standard library's distributions; the second value of a pair is kept.
struct GaussianSource {
    std::mt19937_64& generator;
    bool haveSpare = false;
    double spare = 0;
    double next();
};

// One replicate's coefficients of the three phases, and per file the replicate's estimate of the
// sd over the data's (1 where the sd is given).
void replicateCoefficients(const FitSamples& samples, GaussianSource& gauss, PhaseParameters (&model)[3],
                           double (&scatterRatio)[3][2]);

// d coefficient k / d (intercept, slope of the enthalpy line, intercept, slope of the activity
// line) of a phase; the coefficients are linear in these four.
void coefficientGradient(const FitSamples& samples, PhaseIndex phase, double (&gradient)[4][4]);

// The coefficients of a replicate, Liquid, BCC, FCC; and its sds over the data's, [3 * phase + kind].
using ReplicateModel = std::array<PhaseParameters, 3>;
using ScatterRatios = std::array<double, 6>;

// Draws `count` replicates in order from std::mt19937_64 seeded with `seed`, as the analysis
// does: the same data, scatter and seed give the same replicates in every program.
void drawReplicates(const FitSamples& samples, int count, std::uint64_t seed, std::vector<ReplicateModel>& models,
                    std::vector<ScatterRatios>& ratios);

// Covariance of a phase's coefficients in their storage order a0, a1, b0, b1, from the covariance
// of each least-squares line under its points' measurement variances d_i^2 sigma^2,
// (X'X)^-1 X' diag(v) X (X'X)^-1.
void coefficientCovariance(const FitSamples& samples, PhaseIndex phase, double (&covariance)[4][4]);

// What the linear propagation needs of the fits: the coefficients' gradients with respect to the
// lines and the covariance of each line's intercept and slope.
struct LinearPropagation {
    double gradient[3][4][4];   // coefficientGradient of each phase
    double line[3][2][2][2];    // [phase][ENTHALPY_FIT or ACTIVITY_FIT]
};

void linearPropagation(const FitSamples& samples, LinearPropagation& propagation);

// The variance, to first order, that a quantity takes from each file's scatter
// ([phase][ENTHALPY_FIT or ACTIVITY_FIT]), given its derivatives with respect to the twelve
// coefficients (Liquid, BCC, FCC; a0, a1, b0, b1 each).
void fileVariances(const LinearPropagation& propagation, const double (&derivative)[12], double (&variance)[3][2]);
