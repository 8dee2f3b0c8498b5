// Fitting the model's coefficients to the measured data: each series is linearised into a
// straight line in x whose intercept and slope are model quantities, and fitted by least squares.
//
//   enthalpy:  H / (x (1 - x))               = a0 + b0 x
//   activity of B:  R T ln(aB / x) / (1 - x)^2  = L0 + 2 L1 x        (Liquid, FCC)
//   activity of A:  R T ln(aA / (1 - x)) / x^2  = (L0 - L1) + 2 L1 x (BCC)
// at the data temperature T (1500 K for the liquid, 1100 K for the solids), after the solid data
// are reduced to the phase's own pure components (10000 J/mol for pure A as BCC, 7500 J/mol for
// pure B as FCC). Then a1 = (L0 - a0) / T and b1 = (L1 - b0) / T.
#pragma once

#include "model/measured_data.h"
#include "model/phase.h"

// Temperatures of the activity data (K) and their R T factors, formed in double.
inline constexpr double LIQUID_ACTIVITY_TEMPERATURE = 1500.0;
inline constexpr double SOLID_ACTIVITY_TEMPERATURE = 1100.0;
inline constexpr double RT1500 = GAS_CONSTANT * LIQUID_ACTIVITY_TEMPERATURE;
inline constexpr double RT1100 = GAS_CONSTANT * SOLID_ACTIVITY_TEMPERATURE;

// y = intercept + slope x by least squares; r is the correlation coefficient with its sign.
struct LineFit {
    double intercept;
    double slope;
    double r;
};

// Least squares over x[0..n-1], y[0..n-1], from the five running sums in index order. No test
// guards the divisions: n < 2 or equal abscissae give infinities or NaN.
void fitLine(LineFit& fit, const double* x, const double* y, int n);

// The ordinate of the enthalpy line for one measured pair (J/mol).
double enthalpyOrdinate(PhaseIndex phase, double x, double enthalpy);
// The ordinate of the activity line for one measured pair (J/mol).
double activityOrdinate(PhaseIndex phase, double x, double activity);

// The phase's coefficients from its enthalpy fit (a0, b0) and its activity fit (a1, b1).
PhaseParameters coefficientsFromFits(PhaseIndex phase, const LineFit& enthalpyFit, const LineFit& activityFit);

// Both fits of one phase and the coefficients they give.
struct PhaseFit {
    LineFit enthalpy;
    LineFit activity;
    PhaseParameters parameters;
};

// Fits one phase over the activity file's compositions; the enthalpy file supplies its first
// `count` values (it must hold at least that many).
void fitPhase(PhaseIndex phase, const PhaseData& data, PhaseFit& fit);

// Fits the three phases and fills their records.
void fitModel(const MeasuredData& data, PhaseParameters& liquid, PhaseParameters& bcc, PhaseParameters& fcc,
              PhaseFit (&fits)[3]);
