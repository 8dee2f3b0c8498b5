// The Newton-Raphson iterations shared by the solvers that restart from random start values
// and the refinements that start from a known solution nearby. Included by their two sources
// only, so that a program that refines alone links no clock and no random generator.
#pragma once

#include <cmath>
#include <cstdlib>

#include "equilibrium/eutectic.h"
#include "equilibrium/newton.h"
#include "equilibrium/stability.h"
#include "equilibrium/two_phase.h"

namespace newton_steps {

constexpr double EUTECTIC_START_TEMPERATURE = 1000.0;

inline double randomComposition() { return (std::rand() % 999 + 1.0) / 1000.0; }

// The iterations below take their size as a template argument when it is known at compile time
// (FIXED > 0), so that the small loops unroll, or from n otherwise (FIXED == 0).

template <int FIXED>
[[gnu::always_inline]] inline int invert(Matrix4& J, Matrix4& Jinv, int n)
{
    if constexpr (FIXED > 0)
        return invertFixedSize<FIXED>(J, Jinv);
    else
        return invertMatrix(J, Jinv, n);
}

// RESTART: a rejected iterate draws new start values (the solvers) or ends the solve (the
// refinements, which the caller starts from a solution nearby).
template <int FIXED, bool RESTART = true>
[[gnu::always_inline]] inline Verdict judge(Vector4& guess, const Vector4& result, int first, int n)
{
    const int size = FIXED > 0 ? FIXED : n;
    for (int i = first; i < size; ++i) {
        if (!(result[i] > 0.0 && result[i] < 1.0)) {
            if constexpr (RESTART)
                for (int j = first; j < size; ++j) guess[j] = randomComposition();
            return Verdict::REJECTED;
        }
    }
    for (int i = 0; i < size; ++i)
        if (!(std::fabs(result[i] - guess[i]) <= STEP_TOLERANCE)) return Verdict::ACCEPTED;
    return Verdict::CONVERGED;
}

// result = guess - Jinv F; then the verdict on it. An accepted iterate becomes the guess.
template <int FIXED, bool RESTART>
[[gnu::always_inline]] inline Verdict step(const Matrix4& Jinv, const Vector4& F, Vector4& guess, Vector4& result,
                                           int first, int n)
{
    const int size = FIXED > 0 ? FIXED : n;
    multiplyMatrixVector(Jinv, F, result, size);
    for (int i = 0; i < size; ++i) result[i] = guess[i] - result[i];
    const Verdict verdict = judge<FIXED, RESTART>(guess, result, first, size);
    if (verdict == Verdict::ACCEPTED)
        for (int i = 0; i < size; ++i) guess[i] = result[i];
    return verdict;
}

template <int FIXED, PhasePair PAIR, bool RESTART>
int twoPhaseIterations(double T, Vector4& guess, Vector4& result, int n, const PhaseParameters& first,
                       const PhaseParameters& second)
{
    constexpr PhasePair pair = PAIR;
    const InteractionCoefficients c1 = interactionCoefficients(first, T);
    const InteractionCoefficients c2 = interactionCoefficients(second, T);
    Matrix4 J{};
    Matrix4 Jinv{};
    Vector4 F{};
    int counter = 1;
    for (; counter < ITERATION_LIMIT; ++counter) {
        // Residuals, Jacobian and inverse are pure functions of guess: the residuals come first
        // so that few values stay live across their logarithm calls.
        twoPhaseResiduals(F, guess, T, c1, c2, pair);
        twoPhaseJacobian(J, guess, T, c1, c2);
        invert<FIXED>(J, Jinv, n);
        const Verdict verdict = step<FIXED, RESTART>(Jinv, F, guess, result, 0, n);
        if (verdict == Verdict::CONVERGED) return counter;
        if (!RESTART && verdict == Verdict::REJECTED) return ITERATION_LIMIT;
    }
    return counter;
}

// One instance per pair, so that the pair's reference terms are constants of the loop.
template <int FIXED, bool RESTART = true>
int twoPhaseForPair(double T, Vector4& guess, Vector4& result, int n, const PhaseParameters& first,
                    const PhaseParameters& second, PhasePair pair)
{
    switch (pair) {
    case LIQUID_FCC:
        return twoPhaseIterations<FIXED, LIQUID_FCC, RESTART>(T, guess, result, n, first, second);
    case LIQUID_BCC:
        return twoPhaseIterations<FIXED, LIQUID_BCC, RESTART>(T, guess, result, n, first, second);
    case BCC_FCC:
        return twoPhaseIterations<FIXED, BCC_FCC, RESTART>(T, guess, result, n, first, second);
    }
    // No residuals are defined for another pair; the iteration runs on whatever F holds.
    return twoPhaseIterations<FIXED, static_cast<PhasePair>(0), RESTART>(T, guess, result, n, first, second);
}

template <bool RESTART>
int eutecticIterations(Vector4& guess, Vector4& result, int n, const PhaseParameters& liquid,
                       const PhaseParameters& bcc, const PhaseParameters& fcc)
{
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
        const Verdict verdict = step<0, RESTART>(Jinv, F, guess, result, 1, n);
        if constexpr (RESTART) {
            // A three-phase root that some curve undercuts is no equilibrium an alloy reaches: it
            // is treated as a step that left (0, 1), and the solve starts afresh from 1000 K.
            if (verdict == Verdict::CONVERGED) {
                const PhaseParameters model[3] = {liquid, bcc, fcc};
                if (isStableEutectic(model, result)) return counter;
                for (int j = 1; j < n; ++j) guess[j] = randomComposition();
                guess[0] = EUTECTIC_START_TEMPERATURE;
            }
        } else {
            if (verdict == Verdict::CONVERGED) return counter;
            if (verdict == Verdict::REJECTED) return ITERATION_LIMIT;
        }
    }
    return counter;
}

}  // namespace newton_steps
