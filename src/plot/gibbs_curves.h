// What "GibbsEnergy.svg" says: the molar Gibbs energies of Liquid, BCC and FCC at one temperature
// against the mole fraction of Ks, relative to pure Ps as FCC and pure Ks as BCC as in the model,
// with the common tangent of each pair: stable where no curve lies below it (the tie-lines of the
// diagram at that temperature), metastable where it solves the pair's equations but a third phase
// undercuts it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "equilibrium/stable_diagram.h"
#include "plot/diagram_names.h"

inline constexpr const char* GIBBS_PLOT_FILE = "GibbsEnergy.svg";

struct CommonTangent {
    int pair;  // PhasePair - 1
    bool stable;
    double x[2];  // tangent points: the pair's first and second phase
    double g[2];  // J/mol
};

struct GibbsPicture {
    DiagramNames names = builtInNames();
    double T;
    std::vector<std::pair<double, double>> curve[3];  // (x, G) of Liquid, BCC, FCC
    std::vector<CommonTangent> tangents;
    double low;   // J/mol, the ordinate axis
    double high;
};

// The curves and tangents at T of the diagram's model, named with `names`.
void describeGibbsCurves(const StableDiagram& diagram, double T, GibbsPicture& picture,
                         const DiagramNames& names = builtInNames());

std::string drawGibbsCurves(const GibbsPicture& picture);
