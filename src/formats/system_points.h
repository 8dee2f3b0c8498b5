// "Boundaries.txt" for a binary system of a database: phase-boundary points measured on any of
// its two-phase fields, and arrests at any of its invariant reactions.
//
// One point per line, fields separated by blanks or tabs, "#" starts a comment:
//   T  x  A/B  PHASE      the composition x of PHASE, one of A and B, measured at T (K) in
//                         equilibrium with the other; across a miscibility gap the two sets of
//                         one phase are A#1 and A#2 in increasing x (FCC_A1#1/FCC_A1#2 FCC_A1#2)
//   T  x  KIND [A/B/C]    an arrest at an invariant reaction of that kind (eutectic, peritectic,
//                         monotectic, syntectic, eutectoid, peritectoid, monotectoid, metatectic),
//                         with its three phases where the system has more than one of the kind;
//                         x, the composition of the phase that forms or decomposes, may be "-"
// x may be written as a weight percent of the second element, "37wt", where the database gives
// the elements' masses; the report gives it as the mole fraction it is.
// Either may end with the point's own standard deviation (K for an arrest or a point with a
// liquid, x for a point of two solids). A phase is named as the database names it, in any case,
// or by the part before its structure suffix (FCC for FCC_A1) where that names one phase only.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "formats/error_text.h"

struct SystemPoint {
    int line;          // in the file
    double T;          // K
    bool haveX;
    double x;          // mole fraction of the system's second element
    double sd = NAN;   // its own scatter, where the file gives one
    bool arrest = false;
    // A boundary point: the pair's phases (indices into the system's), their sets (0 not given, 1
    // or 2 across a gap), and which of the two was measured.
    int phase[2] = {-1, -1};
    int set[2] = {0, 0};
    int side = 0;
    // An arrest: the reaction's kind, and its phases where given (else -1).
    std::string kind;
    int reaction[3] = {-1, -1, -1};
    std::string pairText;   // the pair or the reaction as the report names it
    std::string phaseText;  // the phase measured, or "-" for an arrest
};

// Reads the points, naming phases from `phases` (the system's phase names, upper case) and reading
// weight percents with `masses` (g/mol of the two elements; null where the database gives none);
// `present` is false, and nothing fails, when the file does not exist. Fails naming the file, the
// line and what is wrong with it.
bool readSystemPoints(const char* path, const std::vector<std::string>& phases, const double* masses,
                      std::vector<SystemPoint>& points, bool& present, ErrorText& error);
