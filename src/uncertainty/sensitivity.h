// How the eutectic moves with the model's coefficients, to first order: implicit differentiation
// of the eutectic equations F(u, theta) = 0, u = (T, xL, xBCC, xFCC),
//   du/dtheta = -(dF/du)^-1 dF/dtheta,
// where dF/du is the eutectic Jacobian with the temperature dependence of L0 and L1 included,
// and theta the twelve coefficients a0, a1, b0, b1 of Liquid, BCC and FCC in this order.
#pragma once

#include "model/phase.h"
#include "numeric/matrix.h"

// Derivatives of (T, xL, xBCC, xFCC) with respect to each coefficient at a solved eutectic u.
// Returns false when the Jacobian cannot be inverted.
bool eutecticSensitivity(const PhaseParameters (&model)[3], const Vector4& u, double (&derivative)[4][12]);

// Derivatives of the compositions (x in the first, x in the second phase) of a solved tie-line of
// the pair at T with respect to each coefficient, by the same implicit differentiation at fixed T.
// Returns false when the Jacobian cannot be inverted.
bool tieLineSensitivity(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4& x,
                        double (&derivative)[2][12]);

// Standard deviations of (T, xL, xBCC, xFCC) from the covariance of each phase's coefficients
// (storage order a0, a1, b0, b1), the phases independent.
void propagateToEutectic(const double (&derivative)[4][12], const double (&covariance)[3][4][4], double (&sd)[4]);
