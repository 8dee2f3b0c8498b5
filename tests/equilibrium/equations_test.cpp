// The two-phase and eutectic equations: reference terms, agreement of the analytic Jacobians with
// central finite differences, and the entries each function must leave alone.
#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/eutectic.h"
#include "model/phase.h"
#include "equilibrium/two_phase.h"

namespace {

constexpr double SENTINEL = -987.25;
constexpr InteractionCoefficients C1 = {-8230.5, 2385.75};
constexpr InteractionCoefficients C2 = {11210.25, -4417.5};
constexpr InteractionCoefficients C3 = {9471.125, 3113.375};

TEST(InteractionCoefficients, AreLinearInTemperature)
{
    const PhaseParameters p = {-11713.8, 2.85, 3441.9, -1.71};
    const InteractionCoefficients at0 = interactionCoefficients(p, 0);
    EXPECT_EQ(at0.L0, p.a0);
    EXPECT_EQ(at0.L1, p.b0);
    const InteractionCoefficients at1000 = interactionCoefficients(p, 1000);
    EXPECT_EQ(at1000.L0, 2.85 * 1000 + -11713.8);
    EXPECT_EQ(at1000.L1, -1.71 * 1000 + 3441.9);
}

TEST(TwoPhaseResiduals, EqualPhasesLeaveTheBareReferenceTerms)
{
    const Vector4 same = {0.37, 0.37, SENTINEL, SENTINEL};
    Vector4 F = {0, 0, SENTINEL, SENTINEL};
    twoPhaseResiduals(F, same, 1000, C1, C1, LIQUID_FCC);
    EXPECT_EQ(F, (Vector4{5000, -3750, SENTINEL, SENTINEL}));
    twoPhaseResiduals(F, same, 1000, C1, C1, LIQUID_BCC);
    EXPECT_EQ(F, (Vector4{-5000, 3750, SENTINEL, SENTINEL}));
    for (const double T : {300.0, 1234.5}) {
        twoPhaseResiduals(F, same, T, C1, C1, BCC_FCC);
        EXPECT_EQ(F, (Vector4{10000, -7500, SENTINEL, SENTINEL}));
    }
}

TEST(TwoPhaseResiduals, AnUnknownPairWritesNothing)
{
    Vector4 F = {SENTINEL, SENTINEL, SENTINEL, SENTINEL};
    twoPhaseResiduals(F, {0.2, 0.7, 0, 0}, 900, C1, C2, static_cast<PhasePair>(4));
    EXPECT_EQ(F, (Vector4{SENTINEL, SENTINEL, SENTINEL, SENTINEL}));
}

TEST(TwoPhaseResiduals, CompositionsOfZeroOrOneGiveInfinitiesWithoutATrap)
{
    Vector4 F{};
    twoPhaseResiduals(F, {0.0, 0.5, 0, 0}, 900, C1, C2, LIQUID_FCC);
    EXPECT_EQ(F[1], -INFINITY);
    twoPhaseResiduals(F, {0.5, 1.0, 0, 0}, 900, C1, C2, LIQUID_FCC);
    EXPECT_EQ(F[0], INFINITY);
    Matrix4 J{};
    twoPhaseJacobian(J, {1.0, 0.0, 0, 0}, 900, C1, C2);
    EXPECT_TRUE(std::isinf(J[0]) && std::isinf(J[5]));
}

TEST(TwoPhaseJacobian, AgreesWithCentralDifferencesForEveryPair)
{
    const double T = 873.25;
    const Vector4 x = {0.2385, 0.8125, 0, 0};
    Matrix4 J;
    J.fill(SENTINEL);
    twoPhaseJacobian(J, x, T, C1, C2);
    for (int k = 0; k < 16; ++k) {
        if (k != 0 && k != 1 && k != 4 && k != 5) {
            EXPECT_EQ(J[k], SENTINEL) << k;
        }
    }
    for (const PhasePair pair : {LIQUID_FCC, LIQUID_BCC, BCC_FCC}) {
        for (int col = 0; col < 2; ++col) {
            const double h = 1e-6;
            Vector4 up = x;
            Vector4 down = x;
            up[col] += h;
            down[col] -= h;
            Vector4 Fup{};
            Vector4 Fdown{};
            twoPhaseResiduals(Fup, up, T, C1, C2, pair);
            twoPhaseResiduals(Fdown, down, T, C1, C2, pair);
            for (int row = 0; row < 2; ++row) {
                const double numeric = (Fup[row] - Fdown[row]) / (2 * h);
                EXPECT_NEAR(J[4 * row + col], numeric, 1e-5 * std::fabs(numeric)) << pair << row << col;
            }
        }
    }
}

TEST(EutecticResiduals, AreTheTwoPhaseResidualsOfTheLiquidAgainstEachSolid)
{
    const Vector4 u = {812.5, 0.5125, 0.9175, 0.0725};
    Vector4 F{};
    eutecticResiduals(F, u, C1, C2, C3);
    Vector4 bcc{};
    Vector4 fcc{};
    twoPhaseResiduals(bcc, {u[1], u[2], 0, 0}, u[0], C1, C2, LIQUID_BCC);
    twoPhaseResiduals(fcc, {u[1], u[3], 0, 0}, u[0], C1, C3, LIQUID_FCC);
    EXPECT_EQ(F[0], bcc[0]);
    EXPECT_EQ(F[2], bcc[1]);
    EXPECT_EQ(F[1], fcc[0]);
    EXPECT_EQ(F[3], fcc[1]);
}

TEST(EutecticResiduals, EqualPhasesLeaveTheBareReferenceTerms)
{
    const Vector4 u = {1000, 0.42, 0.42, 0.42};
    Vector4 F{};
    eutecticResiduals(F, u, C2, C2, C2);
    EXPECT_EQ(F, (Vector4{-5000, 5000, 3750, -3750}));
    Matrix4 J{};
    eutecticJacobian(J, {417.5, 0.42, 0.42, 0.42}, C2, C2, C2);
    EXPECT_EQ(J[0], -10);
    EXPECT_EQ(J[4], -10);
    EXPECT_EQ(J[8], -12.5);
    EXPECT_EQ(J[12], -12.5);
}

TEST(EutecticJacobian, AgreesWithCentralDifferencesAtFixedCoefficients)
{
    const Vector4 u = {812.5, 0.5125, 0.9175, 0.0725};
    Matrix4 J;
    J.fill(SENTINEL);
    eutecticJacobian(J, u, C1, C2, C3);
    for (const int zero : {3, 6, 11, 14}) {
        EXPECT_EQ(J[zero], 0.0);
        EXPECT_FALSE(std::signbit(J[zero]));
    }
    EXPECT_EQ(J[1], J[5]);
    EXPECT_EQ(J[9], J[13]);
    for (int col = 0; col < 4; ++col) {
        const double h = col == 0 ? 1e-3 : 1e-6;
        Vector4 up = u;
        Vector4 down = u;
        up[col] += h;
        down[col] -= h;
        Vector4 Fup{};
        Vector4 Fdown{};
        // The coefficients stay at their values for the unshifted temperature.
        eutecticResiduals(Fup, up, C1, C2, C3);
        eutecticResiduals(Fdown, down, C1, C2, C3);
        for (int row = 0; row < 4; ++row) {
            const double numeric = (Fup[row] - Fdown[row]) / (2 * h);
            EXPECT_NEAR(J[4 * row + col], numeric, 1e-5 * std::fabs(numeric) + 1e-9) << row << "," << col;
        }
    }
}

}  // namespace
