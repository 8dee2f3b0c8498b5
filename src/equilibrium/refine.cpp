// Newton-Raphson refinement from a known solution nearby, without random restarts.
#include "equilibrium/refine.h"

#include "equilibrium/newton_steps.h"

using namespace newton_steps;

int refineTwoPhase(double T, Vector4& guess, Vector4& result, const PhaseParameters& first,
                   const PhaseParameters& second, PhasePair pair)
{
    return twoPhaseForPair<2, false>(T, guess, result, 2, first, second, pair);
}

int refineEutectic(Vector4& guess, Vector4& result, const PhaseParameters& liquid, const PhaseParameters& bcc,
                   const PhaseParameters& fcc)
{
    return eutecticIterations<false>(guess, result, 4, liquid, bcc, fcc);
}
