// Gibbs energy curves at one temperature, from any binary model.
#include "model/phase_curve.h"

#include <cmath>

PhaseCurve builtInCurve(PhaseIndex phase, const PhaseParameters& p, double T)
{
    PhaseCurve curve{};
    curve.gasConstant = GAS_CONSTANT;
    curve.pure[0] = pureAGibbsEnergy(phase, T);
    curve.pure[1] = pureBGibbsEnergy(phase, T);
    curve.pureSlope[0] = pureAGibbsSlope(phase);
    curve.pureSlope[1] = pureBGibbsSlope(phase);
    const InteractionCoefficients c = interactionCoefficients(p, T);
    curve.orders = 2;
    curve.L[0] = c.L0 + c.L1 / 2;
    curve.L[1] = -c.L1 / 2;
    curve.LSlope[0] = p.a1 + p.b1 / 2;
    curve.LSlope[1] = -p.b1 / 2;
    return curve;
}

void curveSeries(const PhaseCurve& curve, double u, bool slopes, double& S, double& dS, double& ddS)
{
    const double* L = slopes ? curve.LSlope : curve.L;
    S = 0;
    dS = 0;
    ddS = 0;
    for (int k = curve.orders - 1; k >= 0; --k) {
        ddS = ddS * u + 2 * dS;
        dS = dS * u + S;
        S = S * u + L[k];
    }
}

void curveGibbsEnergy(const PhaseCurve& curve, double x, double T, double& G, double& slope)
{
    const double rest = 1 - x;
    double S = 0;
    double dS = 0;
    double ddS = 0;
    curveSeries(curve, rest - x, false, S, dS, ddS);
    const double RT = curve.gasConstant * T;
    G = rest * curve.pure[0] + x * curve.pure[1] + x * rest * S + RT * (x * std::log(x) + rest * std::log(rest));
    // d/dx [x (1 - x) S(u)] with du/dx = -2.
    slope = curve.pure[1] - curve.pure[0] + (rest - x) * S - 2 * x * rest * dS + RT * std::log(x / rest);
}
