// Newton-Raphson iteration for the phase boundaries and the eutectic point, from random start
// values seeded from the clock.
#include "equilibrium/newton.h"

#include "equilibrium/clock.h"
#include "equilibrium/newton_steps.h"

using namespace newton_steps;

Verdict judgeIterate(Vector4& guess, const Vector4& result, int first, int n)
{
    return judge<0>(guess, result, first, n);
}

void randomizeGuess(Vector4& v)
{
    std::srand(static_cast<unsigned>(calendarTime()));
    for (int i = 0; i < 4; ++i) v[i] = randomComposition();
}

int solveTwoPhase(double T, Vector4& guess, Vector4& result, int n, const PhaseParameters& first,
                  const PhaseParameters& second, PhasePair pair)
{
    return n == 2 ? twoPhaseForPair<2>(T, guess, result, n, first, second, pair)
                  : twoPhaseForPair<0>(T, guess, result, n, first, second, pair);
}

int solveEutectic(Vector4& guess, Vector4& result, int n, const PhaseParameters& liquid,
                  const PhaseParameters& bcc, const PhaseParameters& fcc)
{
    randomizeGuess(guess);
    guess[0] = EUTECTIC_START_TEMPERATURE;
    return eutecticIterations<true>(guess, result, n, liquid, bcc, fcc);
}
