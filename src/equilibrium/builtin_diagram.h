// The built-in Ks-Ps model's stable diagram from the one engine of any binary system, in the terms
// the three-phase model's companions use: the eutectic of the liquid and the two solids as
// (T, xL, xBCC, xFCC), and a pair's stable tie-line as a TieLine (log-ratios and mole fractions of
// the pair's first and second phase).
#pragma once

#include "equilibrium/binary_diagram.h"
#include "equilibrium/diagram_record.h"
#include "model/builtin_system.h"

struct BuiltInDiagram {
    BuiltInCoefficients coefficients;
    BinarySystem system;  // points into `coefficients`: the record is not copied
    BinaryDiagram diagram;
    bool haveEutectic = false;
    Vector4 eutectic{};

    BuiltInDiagram() = default;
    BuiltInDiagram(const BuiltInDiagram&) = delete;
    BuiltInDiagram& operator=(const BuiltInDiagram&) = delete;
};

// The model's whole diagram from `low` (or 300 K, if lower) to its top (or `high`, if higher);
// false where the engine could not compute it.
bool computeBuiltInDiagram(const PhaseParameters (&model)[3], double low, double high, BuiltInDiagram& out);

// The pair's stable tie-line at T: of the fields of its two phases stable there, the one nearest
// `near` (or the first where near is null); false where none is.
bool builtInTieLine(const BuiltInDiagram& d, SystemAt& at, PhasePair pair, double T, const TieLine* near,
                    TieLine& line);
