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
// integrated along the tie-lines in the liquid's log-ratio s, dx = x (1 - x) ds, which keeps the
// integrand smooth for a dilute alloy, with the three-point rule for unequal spacing (exact for
// quadratics) on each step's ends and middle, each step halved until halving changes it by less
// than 1e-13; the liquid left at the eutectic is the eutectic fraction.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"
#include "formats/solidification_table.h"
#include "equilibrium/stable_diagram.h"

struct SolidificationPath {
    double x0;
    PhaseIndex primary;        // the first solid to form; LIQUID when the alloy is eutectic
    double liquidus;           // K
    TieLine liquidusTieLine;   // the primary pair's tie-line there (first phase, second phase)
    double solidus;            // K: where equilibrium solidification ends (the eutectic's T if it
                               // reaches the eutectic)
    TieLine solidusTieLine;    // the primary pair's tie-line at the solidus, where it lies above the eutectic
    bool eutecticReached;      // on the equilibrium path: x0 lies between the liquid and the primary
                               // solid of the eutectic
    Vector4 eutectic;          // T, xL, xBCC, xFCC
    double eutecticEquilibrium;  // fraction of eutectic on each path, whatever range the rows cover
    double eutecticScheil;
    std::vector<PathRow> rows;   // by falling temperature; the exact rows in their place
};

// The alloy's liquidus (the highest temperature at which the stable liquid of composition x0
// coexists with a solid, which is the primary one), its solidus and the eutectic, from the stable
// diagram; with `nominal` (the path of a model close to this one) its liquidus and solidus start
// the solves instead of the diagram's traces. Fills those fields of `path`; fails, with a message,
// where the diagram has no stable eutectic or no stable liquidus at x0.
bool alloyTemperatures(StableDiagram& diagram, double x0, const SolidificationPath* nominal, SolidificationPath& path,
                       ErrorText& error);

// The rows of both paths on the grid, and the eutectic fractions, for the alloy whose
// temperatures `path` holds. Fails, with a message, where the grid starts below the liquidus or
// the primary pair's tie-lines cannot be followed.
bool solidificationRows(const StableDiagram& diagram, const PathGrid& grid, SolidificationPath& path, ErrorText& error);

// Both at once.
bool solidify(StableDiagram& diagram, double x0, const PathGrid& grid, const SolidificationPath* nominal,
              SolidificationPath& path, ErrorText& error);
