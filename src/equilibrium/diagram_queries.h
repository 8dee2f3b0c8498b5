// What an alloy asks of a binary system's computed diagram: over which temperatures each field is
// stable, its tie-line at any of them, the phases and their amounts at the alloy's composition,
// and the temperature at which a field's side passes through that composition.
//
// The diagram's fields hold rows every few kelvin from the sweep; a field's stretch of rows ends
// a bisection's width from the reaction that ends it, so each stretch is carried on to that
// reaction's exact temperature. Between rows a tie-line is Newton's solution started from the
// nearest row.
#pragma once

#include <vector>

#include "equilibrium/binary_diagram.h"

// A stretch of temperatures over which one field is stable throughout (K, bottom <= top).
struct FieldSpan {
    int field;   // index into the diagram's fields
    double top;
    double bottom;
};

// Every field's stretches, their ends carried to the reactions that end them.
std::vector<FieldSpan> fieldSpans(const BinaryDiagram& diagram);

// The stretch's row nearest to T; null where it has none.
const FieldRow* nearestRow(const BinaryDiagram& diagram, const FieldSpan& span, double T);

// The field's tie-line at T by Newton's method from the stretch's row nearest in temperature,
// whether or not the field is stable there; false where the solve fails. `at` is evaluated at T
// unless it already holds the system there.
bool tieLineNear(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram, const FieldSpan& span,
                 double T, StableTieLine& line);

// Compositions this close are one: an alloy at a compound's composition is the compound.
inline constexpr double COMPOSITION_TOLERANCE = 1e-12;

// One phase of an alloy: its composition (mole fraction of the second element) and its amount
// (moles of atoms per mole of alloy).
struct PhaseAmount {
    int phase;
    double x;
    double amount;
};

// The phases of an alloy at one temperature: one, or the two ends of a tie-line.
struct AlloyState {
    int count = 0;
    PhaseAmount phases[2]{};
    int field = -1;  // the field of a tie-line, -1 for one phase
};

// The stable state of the alloy of composition x0 at T, from the spans covering T (a tie-line
// around x0: the lever rule; else the one phase between the nearest tie-lines). False where a
// tie-line of a field stable at T cannot be solved.
bool alloyStateAt(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                  const std::vector<FieldSpan>& spans, double T, double x0, AlloyState& state);

// The temperatures within the span at which side `side` of its field has composition x0, each
// narrowed by regula falsi to 1e-10 K, appended in decreasing order. False where a tie-line
// cannot be solved.
bool sideCrossings(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram, const FieldSpan& span,
                   int side, double x0, std::vector<double>& T);
