// Compositions in the log-ratio coordinate s = ln(x / (1 - x)), and the chemical potentials of a
// phase with their derivatives in s and in T.
//
// Near a pure component the mole fraction of the minor one is tiny (1e-9 and below), and 1 - x
// computed from x keeps only a few of its digits. Held as s, both x and 1 - x, and both
// logarithms, come out to full relative precision, and Newton's method takes steps of the size
// of ln x instead of x, so a start a factor of ten off still converges.
#pragma once

#include <cmath>

#include "model/phase.h"
#include "model/phase_curve.h"

// The largest |s| used: x = e^-700 is still a normal double.
inline constexpr double LOG_RATIO_LIMIT = 700.0;

// A composition held every way the equations need it.
struct Composition {
    double s;       // ln(x / (1 - x))
    double x;       // mole fraction of B (Ks)
    double rest;    // 1 - x
    double lnX;
    double lnRest;  // ln(1 - x)
};

inline Composition composition(double s)
{
    s = std::fmax(-LOG_RATIO_LIMIT, std::fmin(LOG_RATIO_LIMIT, s));
    const double e = std::exp(-std::fabs(s));  // in (0, 1]
    const double lnOnePlus = std::log1p(e);
    if (s >= 0) return {s, 1 / (1 + e), e / (1 + e), -lnOnePlus, -s - lnOnePlus};
    return {s, e / (1 + e), 1 / (1 + e), s - lnOnePlus, -lnOnePlus};
}

// s of a mole fraction given as such (0 < x < 1).
inline double logRatio(double x) { return std::log(x) - std::log1p(-x); }

// The chemical potentials of A and B in a phase (J/mol, relative to pure A as FCC and pure B as
// BCC) and their derivatives in s at fixed T.
struct Potentials {
    double muA;
    double muB;
    double dmuA;  // d(muA)/ds
    double dmuB;
};

inline Potentials potentials(PhaseIndex phase, const InteractionCoefficients& c, const Composition& z, double T)
{
    const double RT = GAS_CONSTANT * T;
    const double x = z.x;
    const double rest = z.rest;
    const double w = x * rest;  // dx/ds
    const double k = (3 * x - 1) * c.L1 + c.L0;
    const double excessA = x * x * ((2 * x - 1) * c.L1 + c.L0);
    const double excessB = rest * rest * (2 * c.L1 * x + c.L0);
    return {pureAGibbsEnergy(phase, T) + RT * z.lnRest + excessA, pureBGibbsEnergy(phase, T) + RT * z.lnX + excessB,
            w * (2 * x * k) - RT * x, w * (-2 * rest * k) + RT * rest};
}

// d(muA)/dT and d(muB)/dT of a phase at fixed composition (J/(mol K)).
inline void potentialSlopesInT(PhaseIndex phase, const PhaseParameters& p, const Composition& z, double& dA, double& dB)
{
    const double x = z.x;
    const double rest = z.rest;
    dA = pureAGibbsSlope(phase) + GAS_CONSTANT * z.lnRest + x * x * ((2 * x - 1) * p.b1 + p.a1);
    dB = pureBGibbsSlope(phase) + GAS_CONSTANT * z.lnX + rest * rest * (2 * p.b1 * x + p.a1);
}

// The Gibbs energy of a phase less the straight line (1 - x) muA + x muB (J/mol): how far the
// phase lies above a common tangent with those chemical potentials; negative where it undercuts.
inline double heightAboveTangent(PhaseIndex phase, const InteractionCoefficients& c, const Composition& z, double T,
                                 double mixing, double muA, double muB)
{
    const double x = z.x;
    return z.rest * (pureAGibbsEnergy(phase, T) - muA) + x * (pureBGibbsEnergy(phase, T) - muB) +
           GAS_CONSTANT * T * mixing + x * z.rest * (c.L0 + c.L1 * x);
}

// x ln x + (1 - x) ln(1 - x) of a composition.
inline double mixingOf(const Composition& z) { return z.x * z.lnX + z.rest * z.lnRest; }

// The excess E = x (1 - x) S(u) of a curve at z and its first two derivatives in x (du/dx = -2);
// with `slopes` true, those of the excess's slope in T.
inline void curveExcess(const PhaseCurve& curve, const Composition& z, bool slopes, double& E, double& E1, double& E2)
{
    const double x = z.x;
    const double rest = z.rest;
    double S = 0;
    double dS = 0;
    double ddS = 0;
    curveSeries(curve, rest - x, slopes, S, dS, ddS);
    const double w = x * rest;
    E = w * S;
    E1 = (rest - x) * S - 2 * w * dS;
    E2 = -2 * S - 4 * (rest - x) * dS + 4 * w * ddS;
}

// The chemical potentials of the first and the second element in a phase given by its curve at T
// (relative to what the curve's pure terms are relative to), with their derivatives in s:
// muA = G_1 + R T ln(1 - x) + E - x E', muB = G_2 + R T ln x + E + (1 - x) E', E = x (1 - x) S(u).
inline Potentials potentials(const PhaseCurve& curve, const Composition& z, double T)
{
    const double RT = curve.gasConstant * T;
    const double x = z.x;
    const double rest = z.rest;
    const double w = x * rest;
    double E = 0;
    double E1 = 0;
    double E2 = 0;
    curveExcess(curve, z, false, E, E1, E2);
    return {curve.pure[0] + RT * z.lnRest + (E - x * E1), curve.pure[1] + RT * z.lnX + (E + rest * E1),
            -x * w * E2 - RT * x, rest * w * E2 + RT * rest};
}

// d(muA)/dT and d(muB)/dT at fixed composition of a phase given by its curve (J/(mol K)).
inline void potentialSlopesInT(const PhaseCurve& curve, const Composition& z, double& dA, double& dB)
{
    double E = 0;
    double E1 = 0;
    double E2 = 0;
    curveExcess(curve, z, true, E, E1, E2);
    dA = curve.pureSlope[0] + curve.gasConstant * z.lnRest + (E - z.x * E1);
    dB = curve.pureSlope[1] + curve.gasConstant * z.lnX + (E + z.rest * E1);
}
