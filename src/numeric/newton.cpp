// Newton-Raphson iteration for the phase boundaries and the eutectic point.
#include "numeric/newton.h"

#include <cmath>
#include <cstdlib>

#include "model/eutectic.h"
#include "model/two_phase.h"
#include "numeric/clock.h"

namespace {

constexpr double EUTECTIC_START_TEMPERATURE = 1000.0;

double randomComposition() { return (std::rand() % 999 + 1.0) / 1000.0; }

// result = guess - Jinv F, over entries 0..n-1.
void newtonStep(const Matrix4& Jinv, const Vector4& F, const Vector4& guess, Vector4& result, int n)
{
    multiplyMatrixVector(Jinv, F, result, n);
    for (int i = 0; i < n; ++i) result[i] = guess[i] - result[i];
}

}  // namespace

Verdict judgeIterate(Vector4& guess, const Vector4& result, int first, int n)
{
    for (int i = first; i < n; ++i) {
        if (!(result[i] > 0.0 && result[i] < 1.0)) {
            for (int j = first; j < n; ++j) guess[j] = randomComposition();
            return Verdict::REJECTED;
        }
    }
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(result[i] - guess[i]) <= STEP_TOLERANCE)) return Verdict::ACCEPTED;
    return Verdict::CONVERGED;
}

void randomizeGuess(Vector4& v)
{
    std::srand(static_cast<unsigned>(calendarTime()));
    for (int i = 0; i < 4; ++i) v[i] = randomComposition();
}

int solveTwoPhase(double T, Vector4& guess, Vector4& result, int n, const PhaseParameters& first,
                  const PhaseParameters& second, PhasePair pair)
{
    const InteractionCoefficients c1 = interactionCoefficients(first, T);
    const InteractionCoefficients c2 = interactionCoefficients(second, T);
    Matrix4 J{};
    Matrix4 Jinv{};
    Vector4 F{};
    int counter = 1;
    for (; counter < ITERATION_LIMIT; ++counter) {
        twoPhaseJacobian(J, guess, T, c1, c2);
        invertMatrix(J, Jinv, n);
        twoPhaseResiduals(F, guess, T, c1, c2, pair);
        newtonStep(Jinv, F, guess, result, n);
        const Verdict verdict = judgeIterate(guess, result, 0, n);
        if (verdict == Verdict::CONVERGED) return counter;
        if (verdict == Verdict::ACCEPTED)
            for (int i = 0; i < n; ++i) guess[i] = result[i];
    }
    return counter;
}

int solveEutectic(Vector4& guess, Vector4& result, int n, const PhaseParameters& liquid,
                  const PhaseParameters& bcc, const PhaseParameters& fcc)
{
    randomizeGuess(guess);
    guess[0] = EUTECTIC_START_TEMPERATURE;
    Matrix4 J{};
    Matrix4 Jinv{};
    Vector4 F{};
    int counter = 1;
    for (; counter < ITERATION_LIMIT; ++counter) {
        const double T = guess[0];
        const InteractionCoefficients cL = interactionCoefficients(liquid, T);
        const InteractionCoefficients cB = interactionCoefficients(bcc, T);
        const InteractionCoefficients cF = interactionCoefficients(fcc, T);
        eutecticJacobian(J, guess, cL, cB, cF);
        invertMatrix(J, Jinv, n);
        eutecticResiduals(F, guess, cL, cB, cF);
        newtonStep(Jinv, F, guess, result, n);
        const Verdict verdict = judgeIterate(guess, result, 1, n);
        if (verdict == Verdict::CONVERGED) return counter;
        if (verdict == Verdict::ACCEPTED)
            for (int i = 0; i < n; ++i) guess[i] = result[i];
    }
    return counter;
}
