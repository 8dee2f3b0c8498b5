// Newton-Raphson refinement from a known solution nearby, without random restarts.
#include "equilibrium/refine.h"

#include <cmath>

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

bool solvesPairEquations(const PhaseParameters (&model)[3], PhasePair pair, double T, double x0, double x1,
                         double tolerance)
{
    Vector4 guess{x0, x1, 0, 0};
    Vector4 solution{};
    return refineTwoPhase(T, guess, solution, model[firstPhase(pair)], model[secondPhase(pair)], pair) < ITERATION_LIMIT &&
           std::fabs(solution[0] - x0) <= tolerance && std::fabs(solution[1] - x1) <= tolerance;
}
