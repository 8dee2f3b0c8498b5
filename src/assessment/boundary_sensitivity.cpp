// Implicit differentiation of the tie-line equations in log-ratio coordinates.
#include "assessment/boundary_sensitivity.h"

#include <cmath>

#include "equilibrium/log_ratio.h"

void potentialCoefficientSlopes(double x, double T, double (&dA)[4], double (&dB)[4])
{
    // muA's excess x^2 ((2x - 1) L1 + L0), muB's (1 - x)^2 (2 x L1 + L0); L0 = a0 + a1 T, L1 = b0 + b1 T.
    const double rest = 1 - x;
    const double a0 = x * x;
    const double b0 = x * x * (2 * x - 1);
    const double a0B = rest * rest;
    const double b0B = rest * rest * 2 * x;
    dA[0] = a0;
    dA[1] = a0 * T;
    dA[2] = b0;
    dA[3] = b0 * T;
    dB[0] = a0B;
    dB[1] = a0B * T;
    dB[2] = b0B;
    dB[3] = b0B * T;
}

void energyCoefficientSlopes(double x, double T, double (&dG)[4])
{
    // The excess x (1 - x) (L0 + L1 x).
    const double w = x * (1 - x);
    dG[0] = w;
    dG[1] = w * T;
    dG[2] = w * x;
    dG[3] = w * x * T;
}

namespace {

// The residuals' slopes in each coefficient: +d(mu of the first phase), -d(mu of the second).
void residualSlopes(PhasePair pair, double T, const Composition (&z)[2], double (&FA)[COEFFICIENTS],
                    double (&FB)[COEFFICIENTS])
{
    for (int k = 0; k < COEFFICIENTS; ++k) FA[k] = FB[k] = 0;
    const PhaseIndex phases[2] = {firstPhase(pair), secondPhase(pair)};
    for (int side = 0; side < 2; ++side) {
        double dA[4];
        double dB[4];
        potentialCoefficientSlopes(z[side].x, T, dA, dB);
        const double sign = side == 0 ? 1.0 : -1.0;
        for (int j = 0; j < 4; ++j) {
            FA[4 * phases[side] + j] += sign * dA[j];
            FB[4 * phases[side] + j] += sign * dB[j];
        }
    }
}

}  // namespace

bool tieLineSlopes(const PhaseParameters (&model)[3], PhasePair pair, double T, const double (&s)[2],
                   double (&ds)[2][COEFFICIENTS])
{
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    const Composition z[2] = {composition(s[0]), composition(s[1])};
    const Potentials a = potentials(p, interactionCoefficients(model[p], T), z[0], T);
    const Potentials b = potentials(q, interactionCoefficients(model[q], T), z[1], T);
    // J (ds0, ds1) = -F_theta with J = [dmuA_p, -dmuA_q; dmuB_p, -dmuB_q].
    const double det = a.dmuA * -b.dmuB - -b.dmuA * a.dmuB;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    double FA[COEFFICIENTS];
    double FB[COEFFICIENTS];
    residualSlopes(pair, T, z, FA, FB);
    for (int k = 0; k < COEFFICIENTS; ++k) {
        ds[0][k] = -(FA[k] * -b.dmuB - -b.dmuA * FB[k]) / det;
        ds[1][k] = -(a.dmuA * FB[k] - FA[k] * a.dmuB) / det;
    }
    return true;
}

bool boundaryTemperatureSlopes(const PhaseParameters (&model)[3], PhasePair pair, int side, double T,
                               const double (&s)[2], double (&dT)[COEFFICIENTS])
{
    const PhaseIndex phases[2] = {firstPhase(pair), secondPhase(pair)};
    const Composition z[2] = {composition(s[0]), composition(s[1])};
    Potentials mu[2];
    double slopeT[2][2];
    for (int k = 0; k < 2; ++k) {
        mu[k] = potentials(phases[k], interactionCoefficients(model[phases[k]], T), z[k], T);
        potentialSlopesInT(phases[k], model[phases[k]], z[k], slopeT[k][0], slopeT[k][1]);
    }
    // Unknowns (T, s_other): J = [FA_T, sign dmuA_other; FB_T, sign dmuB_other].
    const int other = 1 - side;
    const double sign = other == 0 ? 1.0 : -1.0;
    const double j00 = slopeT[0][0] - slopeT[1][0];
    const double j10 = slopeT[0][1] - slopeT[1][1];
    const double j01 = sign * mu[other].dmuA;
    const double j11 = sign * mu[other].dmuB;
    const double det = j00 * j11 - j01 * j10;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    double FA[COEFFICIENTS];
    double FB[COEFFICIENTS];
    residualSlopes(pair, T, z, FA, FB);
    for (int k = 0; k < COEFFICIENTS; ++k) dT[k] = -(FA[k] * j11 - j01 * FB[k]) / det;
    return true;
}
