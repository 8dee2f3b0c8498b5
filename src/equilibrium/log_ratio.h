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
