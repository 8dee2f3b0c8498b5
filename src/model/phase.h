// The subregular-solution model shared by every phase: the fitted coefficients, the interaction
// coefficients at a temperature, the partial excess Gibbs energies and the pure-component
// Gibbs-energy differences between the phases.
//
// With x the mole fraction of B (Ks) and L0 = a0 + a1 T, L1 = b0 + b1 T (J/mol):
//   G_ex   = x (1 - x) (L0 + L1 x)
//   muA_ex = x^2 (L0 + L1 (2x - 1))          d(muA_ex)/dx =  2x ((3x - 1) L1 + L0)
//   muB_ex = (1 - x)^2 (L0 + 2 L1 x)         d(muB_ex)/dx = -2 (1 - x) ((3x - 1) L1 + L0)
// Each term below is evaluated in the grouping written, operation by operation, because the
// six-decimal output depends on the rounding.
#pragma once

// J/(mol K); every R T is formed as T * GAS_CONSTANT.
inline constexpr double GAS_CONSTANT = 8.3144;

// The three phases, in the order the model keeps them everywhere.
enum PhaseIndex : int { LIQUID = 0, BCC = 1, FCC = 2 };

// "Liquid", "BCC", "FCC".
const char* phaseName(PhaseIndex phase);

// Coefficients of one phase, stored in the order a0, a1, b0, b1 (J/mol, J/(mol K)).
struct PhaseParameters {
    double a0;
    double a1;
    double b0;
    double b1;
};

// L0 and L1 of one phase at one temperature (J/mol).
struct InteractionCoefficients {
    double L0;
    double L1;
};

// A two-phase equilibrium: first phase / second phase. The values are those of the model.
enum PhasePair : int {
    LIQUID_FCC = 1,
    LIQUID_BCC = 2,
    BCC_FCC = 3,
};

// The two phases of a pair: the first carries the first composition of the pair's equations.
inline PhaseIndex firstPhase(PhasePair pair) { return pair == BCC_FCC ? BCC : LIQUID; }
inline PhaseIndex secondPhase(PhasePair pair) { return pair == LIQUID_BCC ? BCC : FCC; }

// Coefficient k of a record in its storage order: 0 a0, 1 a1, 2 b0, 3 b1.
inline double coefficient(const PhaseParameters& p, int k)
{
    const double values[4] = {p.a0, p.a1, p.b0, p.b1};
    return values[k];
}

// All four coefficients finite: what degenerate data (too few compositions, a composition of 0
// or 1, an activity of 0 or less) does not give.
bool isFinite(const PhaseParameters& p);

// L0 = a1 * T + a0, L1 = b1 * T + b0, each product before its sum.
inline InteractionCoefficients interactionCoefficients(const PhaseParameters& p, double T)
{
    return {p.a1 * T + p.a0, p.b1 * T + p.b0};
}

inline double muAExcess(double x, const InteractionCoefficients& c)
{
    return x * x * ((2 * x - 1) * c.L1 + c.L0);
}

inline double muBExcess(double x, const InteractionCoefficients& c)
{
    return (1 - x) * (1 - x) * (2 * c.L1 * x + c.L0);
}

inline double muAExcessSlope(double x, const InteractionCoefficients& c)
{
    return 2 * x * ((3 * x - 1) * c.L1 + c.L0);
}

inline double muBExcessSlope(double x, const InteractionCoefficients& c)
{
    return -2 * (1 - x) * ((3 * x - 1) * c.L1 + c.L0);
}

// Pure-component reference terms of a pair, G(first phase) - G(second phase) of pure A and of
// pure B (J/mol):
//   Liquid/FCC: dGA = 15000 - 10 T, dGB = 8750 - 12.5 T
//   Liquid/BCC: dGA =  5000 - 10 T, dGB = 16250 - 12.5 T
//   BCC/FCC:    dGA = 10000,        dGB = -7500
// The residuals add them to their cores in the grouping (core - 10 T) + 15000 and so on.
inline constexpr double PURE_A_BCC_OVER_FCC = 10000.0;  // pure A as BCC above pure A as FCC
inline constexpr double PURE_B_FCC_OVER_BCC = 7500.0;   // pure B as FCC above pure B as BCC

// Gibbs energy of pure A (Ps) in a phase, relative to pure A as FCC (J/mol): 15000 - 10 T for
// the liquid, 10000 for BCC, 0 for FCC. The differences between phases are the dGA of the pairs.
double pureAGibbsEnergy(PhaseIndex phase, double T);

// Gibbs energy of pure B (Ks) in a phase, relative to pure B as BCC (J/mol): 16250 - 12.5 T for
// the liquid, 0 for BCC, 7500 for FCC.
double pureBGibbsEnergy(PhaseIndex phase, double T);

// Their derivatives in T (J/(mol K)): minus the entropy of each pure term relative to the
// reference phase.
double pureAGibbsSlope(PhaseIndex phase);
double pureBGibbsSlope(PhaseIndex phase);

// Molar Gibbs energy of a phase at mole fraction x of B (0 < x < 1) and temperature T, relative
// to pure A as FCC and pure B as BCC (J/mol): the pure-component terms, ideal mixing and the
// excess x (1 - x) (L0 + L1 x) with c the phase's interaction coefficients at T.
double gibbsEnergy(PhaseIndex phase, const InteractionCoefficients& c, double x, double T);

// x ln x + (1 - x) ln(1 - x), the ideal mixing term of gibbsEnergy less its factor R T.
double idealMixing(double x);

// gibbsEnergy with its ideal mixing term given (idealMixing(x)), for curves on a fixed grid of
// compositions: the same operations in the same order, so the same value.
double gibbsEnergy(PhaseIndex phase, const InteractionCoefficients& c, double x, double T, double mixing);
