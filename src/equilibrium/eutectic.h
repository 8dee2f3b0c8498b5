// Three-phase (eutectic) equilibrium of Liquid, BCC and FCC: four equations in the temperature
// and the three compositions, and their 4 x 4 Jacobian.
#pragma once

#include "model/phase.h"
#include "numeric/matrix.h"

// u = (T, xL, xBCC, xFCC); cL, cB, cF the interaction coefficients of Liquid, BCC and FCC at
// T = u[0]. F[0] and F[2] are the A and B residuals of Liquid against BCC, F[1] and F[3] those
// of Liquid against FCC, each equal to the two-phase residual of that pair (J/mol).
void eutecticResiduals(Vector4& F, const Vector4& u, const InteractionCoefficients& cL,
                       const InteractionCoefficients& cB, const InteractionCoefficients& cF);

// All sixteen entries. Columns 1 to 3 are the exact derivatives in the compositions; column 0 is
// the derivative in T with L0 and L1 held at their values (R ln(ratio) - 10 or - 12.5), so the
// temperature slopes a1 and b1 are left out. The four entries that pair a residual with the
// other solid's composition are +0.0.
void eutecticJacobian(Matrix4& J, const Vector4& u, const InteractionCoefficients& cL,
                      const InteractionCoefficients& cB, const InteractionCoefficients& cF);
