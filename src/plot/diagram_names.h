// What the pictures call the system, its elements and its phases: the built-in Ks-Ps model's
// names, or a database's.
#pragma once

#include <string>

struct DiagramNames {
    std::string system;      // "Ks-Ps", "Pb-Sn"
    std::string element;     // the element x counts
    std::string phases[3];   // in the order of PhaseIndex: the liquid, then the two solids
    std::string source;      // where the model comes from, as a subtitle says it
    std::string reference;   // what the Gibbs energies are relative to
};

DiagramNames builtInNames();

// "Liquid / FCC": the names of a pair's two phases (pair is PhasePair - 1), joined by `between`.
std::string pairLabel(const DiagramNames& names, int pair, const char* between);
