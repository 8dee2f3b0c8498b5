// Newton's method for the temperature of a boundary at a fixed composition.
#include "equilibrium/boundary_temperature.h"

#include <cmath>

#include "equilibrium/newton.h"
#include "equilibrium/two_phase.h"

namespace {

// d(muA_ex)/dT and d(muB_ex)/dT at fixed x: the excess terms with L0, L1 replaced by a1, b1.
double muATemperatureSlope(double x, const PhaseParameters& p) { return muAExcess(x, {p.a1, p.b1}); }
double muBTemperatureSlope(double x, const PhaseParameters& p) { return muBExcess(x, {p.a1, p.b1}); }

}  // namespace

int solveBoundaryTemperature(const PhaseParameters (&model)[3], PhasePair pair, int fixedSide, double x,
                             const Vector4& start, Vector4& solution)
{
    const PhaseParameters& first = model[firstPhase(pair)];
    const PhaseParameters& second = model[secondPhase(pair)];
    // The temperature slopes of the reference terms dGA and dGB of the pair.
    const double referenceA = pair == BCC_FCC ? 0.0 : -10.0;
    const double referenceB = pair == BCC_FCC ? 0.0 : -12.5;
    const int free = 1 - fixedSide;
    Vector4 u = start;  // (T, y)
    for (int counter = 1; counter < ITERATION_LIMIT; ++counter) {
        const double T = u[0];
        Vector4 x01{};
        x01[fixedSide] = x;
        x01[free] = u[1];
        const InteractionCoefficients c1 = interactionCoefficients(first, T);
        const InteractionCoefficients c2 = interactionCoefficients(second, T);
        Vector4 F{};
        twoPhaseResiduals(F, x01, T, c1, c2, pair);
        Matrix4 dx{};
        twoPhaseJacobian(dx, x01, T, c1, c2);
        // Columns: 0 the temperature, 1 the free composition.
        Matrix4 J{};
        J[0] = GAS_CONSTANT * std::log((1 - x01[0]) / (1 - x01[1])) +
               (muATemperatureSlope(x01[0], first) - muATemperatureSlope(x01[1], second)) + referenceA;
        J[4] = GAS_CONSTANT * std::log(x01[0] / x01[1]) +
               (muBTemperatureSlope(x01[0], first) - muBTemperatureSlope(x01[1], second)) + referenceB;
        J[1] = dx[free];
        J[5] = dx[4 + free];
        Matrix4 inverse{};
        invertMatrix(J, inverse, 2);
        Vector4 step{};
        multiplyMatrixVector(inverse, F, step, 2);
        const Vector4 next = {u[0] - step[0], u[1] - step[1], 0, 0};
        solution = next;
        if (!(next[1] > 0 && next[1] < 1) || !(next[0] > 0)) return ITERATION_LIMIT;
        if (std::fabs(next[0] - u[0]) <= STEP_TOLERANCE && std::fabs(next[1] - u[1]) <= STEP_TOLERANCE) return counter;
        u = next;
    }
    return ITERATION_LIMIT;
}
