// Residuals and Jacobian of a two-phase equilibrium.
#include "model/two_phase.h"

#include <cmath>

void twoPhaseResiduals(Vector4& F, const Vector4& u, double T, const InteractionCoefficients& c1,
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

void twoPhaseJacobian(Matrix4& J, const Vector4& u, double T, const InteractionCoefficients& c1,
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
