// The Scheil-Gulliver path of an alloy on any binary system: no diffusion in the solids, a
// perfectly mixed liquid. The liquid follows the liquidus of the solid that forms, the
// tie-lines of its field; along it (xL - xS) dfS = (1 - fS) dxL, so within one stretch
//   ln(L / L0) = - integral of dx / (x - xS) from the stretch's first liquid composition,
// integrated in the liquid's log-ratio s (dx = x (1 - x) ds) by the three-point rule on each step
// and its middle, each step halved until halving changes it by less than 1e-13.
// Where the liquid meets an invariant reaction:
// - as the middle phase of a eutectic, the liquid left forms the two solids by the lever rule and
//   the path ends;
// - as the middle phase of a monotectic, it splits into the solid and the other liquid, which
//   goes on along its own liquidus;
// - as an outer phase (peritectic, metatectic, syntectic), the solids formed do not react with it
//   and it goes on along the liquidus of the field below.
// It also ends where the liquid reaches a congruent point or a pure element: what is left
// solidifies there at one composition.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "solidification/equilibrium_path.h"

// A stretch of the path: a solid forming along a liquidus from `from` down to `to`, or a reaction
// at one temperature (from == to) forming up to two solids.
struct ScheilStage {
    double from;        // K
    double to;
    const char* name;   // "" along a liquidus, else the reaction's name
    int phase[2];       // the solids formed, -1 where only one
    double amount[2];   // moles of atoms of each per mole of alloy
};

// The path at one temperature.
struct ScheilPoint {
    double T;
    double fs;       // fraction solid
    double xLiquid;  // NaN once no liquid is left
    double xSolid;   // the solid forming at T along a liquidus, else NaN
    std::vector<double> amount;  // by phase of the system: every solid formed so far, and the liquid
};

struct ScheilPath {
    double liquidus = NAN;  // K; the diagram's top where the alloy is two liquids there
    bool twoLiquidsAtTop = false;
    std::vector<ScheilStage> stages;
    double end = NAN;         // K: where the liquid is used up
    const char* endName = "";
    double finalFraction = NAN;  // the liquid left at the end, which forms the last reaction's solids
    std::string stopped;      // where the path cannot be followed: why (the points below it are NaN)
    std::vector<ScheilPoint> points;
};

// The path of x0 at `temperatures` (decreasing), starting at the liquidus of the equilibrium
// events; false, with a message, where the alloy has no liquidus or a tie-line on the way
// cannot be solved. A liquid that splits into two before any solid forms is not followed: the
// path then says so in `stopped`.
bool scheilPath(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                const std::vector<FieldSpan>& spans, double x0, const std::vector<PathEvent>& equilibrium,
                const std::vector<double>& temperatures, ScheilPath& path, ErrorText& error);
