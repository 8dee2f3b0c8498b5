// A database phase's Gibbs energy evaluated as the three-phase loader of a liquid and two solids
// has it: a second evaluation of a database beside the engine's, for tests of what the programs
// write.
#pragma once

#include "formats/tdb_system.h"

// G of phase `phase` (J/mol) at x and T, and its slope in x.
void energy(const LoadedTdb& loaded, int phase, double x, double T, double& G, double& slope);
