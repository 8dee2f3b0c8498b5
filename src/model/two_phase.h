// Equilibrium of two phases at a fixed temperature: the equality of the chemical potentials of
// A and of B between the first and the second phase of a pair, and the derivatives of these
// two residuals with respect to the two compositions.
#pragma once

#include "model/phase.h"
#include "numeric/matrix.h"

// F[0] = mu_A(first) - mu_A(second), F[1] = the same for B (J/mol), at compositions u[0] (first
// phase) and u[1] (second phase), temperature T (K), with c1, c2 the interaction coefficients of
// the two phases at T:
//   F[0] = RT ln((1 - x0)/(1 - x1)) + (muA_ex(x0) - muA_ex(x1)) + dGA
//   F[1] = RT ln(x0/x1)             + (muB_ex(x0) - muB_ex(x1)) + dGB
// Writes F[0] and F[1] only, and nothing for a pair other than the three defined.
void twoPhaseResiduals(Vector4& F, const Vector4& u, double T, const InteractionCoefficients& c1,
                       const InteractionCoefficients& c2, PhasePair pair);

// The exact derivatives of those residuals with respect to u[0] (column 0) and u[1] (column 1),
// at fixed T and coefficients; the same for every pair, since the reference terms are constant.
// Writes the leading 2 x 2 block of J only.
void twoPhaseJacobian(Matrix4& J, const Vector4& u, double T, const InteractionCoefficients& c1,
                      const InteractionCoefficients& c2);
