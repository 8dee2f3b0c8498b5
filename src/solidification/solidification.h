// How an alloy of overall composition x0 solidifies on cooling, from the model: the equilibrium
// path (the lever rule at every temperature) and the Scheil-Gulliver path (no diffusion in the
// solid, a perfectly mixed liquid), with the alloy's liquidus, solidus and eutectic solved
// directly.
//
// Between the liquidus and the eutectic the liquid and the primary solid lie on the tie-line of
// their stable boundary at T, liquid xL and solid xS. Equilibrium: fS = (x0 - xL) / (xS - xL),
// until the solid's composition reaches x0 (the solidus) or the liquid the eutectic, where the
// liquid left turns into the two solids. Scheil: (xL - xS) dfS = (1 - fS) dxL, so
//   ln(1 - fS) = - integral from x0 to xL of dx / (x - xS(x)),
// integrated along the tie-lines step by step with the three-point rule for unequal spacing
// (exact for quadratics) on the step's ends and its middle; the liquid left at the eutectic is the
// eutectic fraction.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"
#include "formats/solidification_table.h"
#include "model/phase.h"
#include "numeric/matrix.h"

struct SolidificationPath {
    double x0;
    PhaseIndex primary;        // the first solid to form; LIQUID when the alloy is eutectic
    double liquidus;           // K
    Vector4 liquidusTieLine;   // the primary pair's tie-line there (first phase, second phase)
    double solidus;            // K: where equilibrium solidification ends (the eutectic's T if it
                               // reaches the eutectic)
    Vector4 solidusTieLine;    // the primary pair's tie-line at the solidus, where it lies above the eutectic
    bool eutecticReached;      // on the equilibrium path: x0 lies between the liquid and the primary
                               // solid of the eutectic
    Vector4 eutectic;          // T, xL, xBCC, xFCC
    double eutecticEquilibrium;  // fraction of eutectic on each path
    double eutecticScheil;
    std::vector<PathRow> rows;   // by falling temperature; the exact rows in their place
};

// The temperatures of the rows: from `from` down to `to` (K) by `step`.
struct PathGrid {
    double from;
    double to;
    double step;
};

// The alloy's liquidus: the highest temperature at which the stable liquid of composition x0
// coexists with a solid, solved directly; the solid is the primary one. `eutectic` is the model's
// stable eutectic. False when no stable liquidus passes through x0.
bool alloyLiquidus(const PhaseParameters (&model)[3], double x0, const Vector4& eutectic, PhaseIndex& primary,
                   double& liquidus, Vector4& tieLine);

// Both paths of the alloy x0 on the grid. With `nominal` (the path of a model close to this
// one), its liquidus, solidus and eutectic start this model's solves, which saves the searches. Fails, with a message, where the model has no stable eutectic or liquidus at x0, or
// the grid does not reach from above the liquidus.
bool solidify(const PhaseParameters (&model)[3], double x0, const PathGrid& grid, const SolidificationPath* nominal,
              SolidificationPath& path, ErrorText& error);
