// What happens between two sections a hair apart in temperature that differ: which reaction it
// is, and the reaction solved exactly as a root in temperature of an equation of the phases
// taking part.
#pragma once

#include "equilibrium/binary_diagram.h"

// Adds the reaction between `above` and `below` (below.T < above.T, both sections of the system)
// to the diagram's invariants or points; false where the change is none of the kinds known (more
// than one reaction, or a section that lost a field to a failed solve).
bool resolveChange(const BinarySystem& system, SystemAt& at, const Section& above, const Section& below,
                   BinaryDiagram& diagram);

// G of the phase at a pure end (0: x = 0, 1: x = 1) at the system's temperature, J/mol of atoms,
// its vacancies relaxed; NaN where the phase cannot hold that element alone.
double pureEnergy(const BinarySystem& system, SystemAt& at, int phase, int end);
