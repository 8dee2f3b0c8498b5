// The model's pure-component Gibbs energies and the molar Gibbs energy of a phase.
#include "model/phase.h"

#include <cmath>

const char* phaseName(PhaseIndex phase)
{
    static constexpr const char* names[] = {"Liquid", "BCC", "FCC"};
    return names[phase];
}

bool isFinite(const PhaseParameters& p)
{
    return std::isfinite(p.a0) && std::isfinite(p.a1) && std::isfinite(p.b0) && std::isfinite(p.b1);
}

double pureAGibbsEnergy(PhaseIndex phase, double T)
{
    switch (phase) {
    case LIQUID:
        return 15000 - 10 * T;
    case BCC:
        return PURE_A_BCC_OVER_FCC;
    case FCC:
        break;
    }
    return 0.0;
}

double pureBGibbsEnergy(PhaseIndex phase, double T)
{
    switch (phase) {
    case LIQUID:
        return 16250 - 12.5 * T;
    case FCC:
        return PURE_B_FCC_OVER_BCC;
    case BCC:
        break;
    }
    return 0.0;
}

double pureAGibbsSlope(PhaseIndex phase) { return phase == LIQUID ? -10.0 : 0.0; }

double pureBGibbsSlope(PhaseIndex phase) { return phase == LIQUID ? -12.5 : 0.0; }

double idealMixing(double x) { return x * std::log(x) + (1 - x) * std::log(1 - x); }

double gibbsEnergy(PhaseIndex phase, const InteractionCoefficients& c, double x, double T, double mixing)
{
    const double reference = (1 - x) * pureAGibbsEnergy(phase, T) + x * pureBGibbsEnergy(phase, T);
    const double excess = x * (1 - x) * (c.L0 + c.L1 * x);
    return reference + GAS_CONSTANT * T * mixing + excess;
}

double gibbsEnergy(PhaseIndex phase, const InteractionCoefficients& c, double x, double T)
{
    return gibbsEnergy(phase, c, x, T, idealMixing(x));
}
