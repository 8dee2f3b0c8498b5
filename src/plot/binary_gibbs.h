// The Gibbs energies of every phase of a binary system at one temperature, as "GibbsEnergy.svg"
// draws them: each phase's curve (a compound as a point), relative to the stable pure elements at
// that temperature, with the stable tangents of the section (the tie-lines of the diagram there).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "equilibrium/binary_section.h"

struct BinaryGibbsCurve {
    int phase;
    std::vector<std::pair<double, double>> points;  // (x, G) in J/mol, in increasing x
};

struct BinaryGibbsPicture {
    std::string title;    // "Mg-Ni"
    std::string element;  // what x counts
    double T;
    std::vector<BinaryGibbsCurve> curves;
    std::vector<std::pair<std::pair<double, double>, std::pair<double, double>>> tangents;  // ends (x, G)
    double low;  // J/mol, the ordinate axis
    double high;
};

// The curves and the stable tangents at T; false where the parameters are undefined at T.
bool describeBinaryGibbs(const BinarySystem& system, double T, BinaryGibbsPicture& picture);

std::string drawBinaryGibbs(const BinarySystem& system, const BinaryGibbsPicture& picture);
