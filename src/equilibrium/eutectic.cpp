// Residuals and Jacobian of the eutectic (Liquid + BCC + FCC) equilibrium.
#include "equilibrium/eutectic.h"

#include <cmath>

void eutecticResiduals(Vector4& F, const Vector4& u, const InteractionCoefficients& cL,
                       const InteractionCoefficients& cB, const InteractionCoefficients& cF)
{
    const double T = u[0];
    const double xL = u[1];
    const double xB = u[2];
    const double xF = u[3];
    const double RT = GAS_CONSTANT * T;
    F[0] = ((RT * std::log((1 - xL) / (1 - xB)) + (muAExcess(xL, cL) - muAExcess(xB, cB))) - 10 * T) + 5000;
    F[1] = ((RT * std::log((1 - xL) / (1 - xF)) + (muAExcess(xL, cL) - muAExcess(xF, cF))) - 10 * T) + 15000;
    F[2] = ((RT * std::log(xL / xB) + (muBExcess(xL, cL) - muBExcess(xB, cB))) - 12.5 * T) + 16250;
    F[3] = ((RT * std::log(xL / xF) + (muBExcess(xL, cL) - muBExcess(xF, cF))) - 12.5 * T) + 8750;
}

void eutecticJacobian(Matrix4& J, const Vector4& u, const InteractionCoefficients& cL,
                      const InteractionCoefficients& cB, const InteractionCoefficients& cF)
{
    const double T = u[0];
    const double xL = u[1];
    const double xB = u[2];
    const double xF = u[3];
    const double RT = GAS_CONSTANT * T;

    const double liquidA = muAExcessSlope(xL, cL) - RT / (1 - xL);
    const double liquidB = muBExcessSlope(xL, cL) + RT / xL;

    J[0] = std::log((1 - xL) / (1 - xB)) * GAS_CONSTANT - 10;
    J[1] = liquidA;
    J[2] = RT / (1 - xB) - muAExcessSlope(xB, cB);
    J[3] = 0.0;

    J[4] = std::log((1 - xL) / (1 - xF)) * GAS_CONSTANT - 10;
    J[5] = liquidA;
    J[6] = 0.0;
    J[7] = RT / (1 - xF) - muAExcessSlope(xF, cF);

    J[8] = std::log(xL / xB) * GAS_CONSTANT - 12.5;
    J[9] = liquidB;
    J[10] = -muBExcessSlope(xB, cB) - RT / xB;
    J[11] = 0.0;

    J[12] = std::log(xL / xF) * GAS_CONSTANT - 12.5;
    J[13] = liquidB;
    J[14] = 0.0;
    J[15] = -muBExcessSlope(xF, cF) - RT / xF;
}
