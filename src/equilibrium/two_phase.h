// Equilibrium of two phases at a fixed temperature: the equality of the chemical potentials of
// A and of B between the first and the second phase of a pair, and the derivatives of these
// two residuals with respect to the two compositions. Defined here, inline, because the
// Newton-Raphson loop evaluates them at every step of every table row.
#pragma once

#include <cmath>

#include "model/phase.h"
#include "numeric/matrix.h"

// F[0] = mu_A(first) - mu_A(second), F[1] = the same for B (J/mol), at compositions u[0] (first
// phase) and u[1] (second phase), temperature T (K), with c1, c2 the interaction coefficients of
// the two phases at T:
//   F[0] = RT ln((1 - x0)/(1 - x1)) + (muA_ex(x0) - muA_ex(x1)) + dGA
//   F[1] = RT ln(x0/x1)             + (muB_ex(x0) - muB_ex(x1)) + dGB
// Writes F[0] and F[1] only, and nothing for a pair other than the three defined.
inline void twoPhaseResiduals(Vector4& F, const Vector4& u, double T, const InteractionCoefficients& c1,
                              const InteractionCoefficients& c2, PhasePair pair)
{
    const double x0 = u[0];
    const double x1 = u[1];
    const double RT = GAS_CONSTANT * T;
    const double coreA = RT * std::log((1 - x0) / (1 - x1)) + (muAExcess(x0, c1) - muAExcess(x1, c2));
    const double coreB = RT * std::log(x0 / x1) + (muBExcess(x0, c1) - muBExcess(x1, c2));
    switch (pair) {
    case LIQUID_FCC:
        F[0] = (coreA - 10 * T) + 15000;
        F[1] = (coreB - 12.5 * T) + 8750;
        break;
    case LIQUID_BCC:
        F[0] = (coreA - 10 * T) + 5000;
        F[1] = (coreB - 12.5 * T) + 16250;
        break;
    case BCC_FCC:
        F[0] = coreA + PURE_A_BCC_OVER_FCC;
        F[1] = coreB - PURE_B_FCC_OVER_BCC;
        break;
    }
}

// The exact derivatives of those residuals with respect to u[0] (column 0) and u[1] (column 1),
// at fixed T and coefficients; the same for every pair, since the reference terms are constant.
// Writes the leading 2 x 2 block of J only.
inline void twoPhaseJacobian(Matrix4& J, const Vector4& u, double T, const InteractionCoefficients& c1,
                             const InteractionCoefficients& c2)
{
    const double x0 = u[0];
    const double x1 = u[1];
    const double RT = GAS_CONSTANT * T;
    J[0] = muAExcessSlope(x0, c1) - RT / (1 - x0);
    J[1] = RT / (1 - x1) - muAExcessSlope(x1, c2);
    J[4] = muBExcessSlope(x0, c1) + RT / x0;
    J[5] = -muBExcessSlope(x1, c2) - RT / x1;
}
