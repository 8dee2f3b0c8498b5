// A phase's Gibbs energy curve at one temperature, in the form any binary model can give it: the
// two elements alone and the Redlich-Kister coefficients of u = (1 - x) - x, per mole of atoms,
// each with its slope in T, and the gas constant of the model. The built-in model of Ks-Ps and a
// database's system both fill it, so that what solves equilibria from curves serves both.
//
// With x the mole fraction of the second element and S(u) = sum L_k u^k,
//   G(x) = (1 - x) G_1 + x G_2 + R T (x ln x + (1 - x) ln(1 - x)) + x (1 - x) S(u).
#pragma once

#include "model/phase.h"

inline constexpr int MAX_CURVE_ORDER = 7;

struct PhaseCurve {
    double gasConstant;     // J/(mol K)
    double pure[2];         // J/mol: the first element alone, the second alone
    double pureSlope[2];    // their slopes in T
    int orders;             // L[0 .. orders - 1]
    double L[MAX_CURVE_ORDER + 1];
    double LSlope[MAX_CURVE_ORDER + 1];
};

// The curve of a phase of the built-in model at T, x the mole fraction of Ks: its excess
// x (1 - x) (L0 + L1 x) is x (1 - x) ((L0 + L1 / 2) - (L1 / 2) u).
PhaseCurve builtInCurve(PhaseIndex phase, const PhaseParameters& parameters, double T);

// G (J/mol) at x (0 < x < 1) and T, and dG/dx at fixed T.
void curveGibbsEnergy(const PhaseCurve& curve, double x, double T, double& G, double& slope);

// The series S(u) = sum L_k u^k of the curve and its first two derivatives in u, by Horner's rule;
// with `slopes` true, the same series of the coefficients' slopes in T.
void curveSeries(const PhaseCurve& curve, double u, bool slopes, double& S, double& dS, double& ddS);

// The three phases' curves at any temperature, whichever model gives them: the liquid first, then
// the two solids in the order of PhaseIndex. curvesAt fails (false) outside [lowest, highest].
struct CurveSource {
    bool (*curvesAt)(const void* context, double T, PhaseCurve (&curves)[3]);
    const void* context;
    double lowest;   // K
    double highest;  // K
};
