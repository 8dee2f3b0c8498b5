// The first-order response of the eutectic to the coefficients.
#include "uncertainty/sensitivity.h"

#include <cmath>

#include "equilibrium/eutectic.h"
#include "equilibrium/two_phase.h"

namespace {

// dF/dL0 and dF/dL1 of each residual for the excess terms of one phase at composition x, with
// the sign the phase enters with (+1 for the liquid, -1 for the solid of the equation).
struct ExcessSlopes {
    double A0, A1;  // of muA_ex = x^2 (L0 + L1 (2x - 1))
    double B0, B1;  // of muB_ex = (1 - x)^2 (L0 + 2 L1 x)
};

ExcessSlopes excessSlopes(double x)
{
    return {x * x, x * x * (2 * x - 1), (1 - x) * (1 - x), 2 * x * (1 - x) * (1 - x)};
}

}  // namespace

bool eutecticSensitivity(const PhaseParameters (&model)[3], const Vector4& u, double (&derivative)[4][12])
{
    const double T = u[0];
    const InteractionCoefficients cL = interactionCoefficients(model[LIQUID], T);
    const InteractionCoefficients cB = interactionCoefficients(model[BCC], T);
    const InteractionCoefficients cF = interactionCoefficients(model[FCC], T);
    Matrix4 J{};
    eutecticJacobian(J, u, cL, cB, cF);

    // dF_i/dL of each phase: rows F0 (A, L-BCC), F1 (A, L-FCC), F2 (B, L-BCC), F3 (B, L-FCC).
    const ExcessSlopes liquid = excessSlopes(u[1]);
    const ExcessSlopes bcc = excessSlopes(u[2]);
    const ExcessSlopes fcc = excessSlopes(u[3]);
    double dL0[4][3] = {};  // [residual][phase]
    double dL1[4][3] = {};
    for (int i = 0; i < 4; ++i) {
        const bool a = i < 2;
        dL0[i][LIQUID] = a ? liquid.A0 : liquid.B0;
        dL1[i][LIQUID] = a ? liquid.A1 : liquid.B1;
        const ExcessSlopes& solid = i % 2 == 0 ? bcc : fcc;
        const int phase = i % 2 == 0 ? BCC : FCC;
        dL0[i][phase] = -(a ? solid.A0 : solid.B0);
        dL1[i][phase] = -(a ? solid.A1 : solid.B1);
    }

    // The temperature column gains the coefficients' own temperature slopes a1 and b1.
    for (int i = 0; i < 4; ++i)
        for (int p = LIQUID; p <= FCC; ++p) J[4 * i] += dL0[i][p] * model[p].a1 + dL1[i][p] * model[p].b1;

    double dTheta[4][12];
    for (int i = 0; i < 4; ++i)
        for (int p = LIQUID; p <= FCC; ++p) {
            dTheta[i][4 * p + 0] = dL0[i][p];      // a0
            dTheta[i][4 * p + 1] = dL0[i][p] * T;  // a1
            dTheta[i][4 * p + 2] = dL1[i][p];      // b0
            dTheta[i][4 * p + 3] = dL1[i][p] * T;  // b1
        }

    Matrix4 inverse{};
    if (invertMatrix(J, inverse, 4) != 1) return false;
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 12; ++k) {
            double sum = 0;
            for (int i = 0; i < 4; ++i) sum += inverse[4 * r + i] * dTheta[i][k];
            derivative[r][k] = -sum;
            if (!std::isfinite(derivative[r][k])) return false;
        }
    return true;
}

bool tieLineSensitivity(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4& x,
                        double (&derivative)[2][12])
{
    const PhaseIndex first = firstPhase(pair);
    const PhaseIndex second = secondPhase(pair);
    Matrix4 J{};
    twoPhaseJacobian(J, x, T, interactionCoefficients(model[first], T), interactionCoefficients(model[second], T));
    // F0 and F1 are the A and B potentials of the first phase less those of the second.
    const ExcessSlopes one = excessSlopes(x[0]);
    const ExcessSlopes two = excessSlopes(x[1]);
    double dTheta[2][12] = {};
    const double dL0[2][2] = {{one.A0, -two.A0}, {one.B0, -two.B0}};  // [residual][first, second]
    const double dL1[2][2] = {{one.A1, -two.A1}, {one.B1, -two.B1}};
    for (int i = 0; i < 2; ++i)
        for (int side = 0; side < 2; ++side) {
            const int p = side == 0 ? first : second;
            dTheta[i][4 * p + 0] = dL0[i][side];
            dTheta[i][4 * p + 1] = dL0[i][side] * T;
            dTheta[i][4 * p + 2] = dL1[i][side];
            dTheta[i][4 * p + 3] = dL1[i][side] * T;
        }
    Matrix4 inverse{};
    if (invertMatrix(J, inverse, 2) != 1) return false;
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 12; ++k) {
            const double sum = inverse[4 * r] * dTheta[0][k] + inverse[4 * r + 1] * dTheta[1][k];
            derivative[r][k] = -sum;
            if (!std::isfinite(derivative[r][k])) return false;
        }
    return true;
}

void propagateToEutectic(const double (&derivative)[4][12], const double (&covariance)[3][4][4], double (&sd)[4])
{
    for (int r = 0; r < 4; ++r) {
        double variance = 0;
        for (int p = 0; p < 3; ++p)
            for (int a = 0; a < 4; ++a)
                for (int b = 0; b < 4; ++b)
                    variance += derivative[r][4 * p + a] * covariance[p][a][b] * derivative[r][4 * p + b];
        sd[r] = std::sqrt(variance);
    }
}
