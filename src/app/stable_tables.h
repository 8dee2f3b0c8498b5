// The tables of a database's system: for each pair of its phases the stable tie-line at every
// whole kelvin of a range where the pair has one, and the stable eutectic, each named and headed
// after the database's phases and elements.
//
// "_Data(LIQUID-FCC_A1).txt": a title line "T(K)\tx(SN) in LIQUID\tx(SN) in FCC_A1\n", then
// "%d\t%.10f\t%.10f\n" rows; "_Data(Eutectic).txt": "T(K)" and x in the liquid and both solids,
// then one row "%.6f\t%.10f\t%.10f\t%.10f\n", or none where the system has no stable eutectic.
#pragma once

#include "equilibrium/stable_diagram.h"
#include "formats/error_text.h"
#include "formats/tdb_system.h"

// Writes the four tables for T = initialT .. finalT - 1 (K), pending (formats/output_file) until
// the caller commits them; `names` and `rows` receive the file name and the rows of each pair's
// table in the order liquid with the first solid, liquid with the second, the two solids (the
// names must stay until the commit). Fails naming the file that cannot be written.
bool writeStableTables(const LoadedTdb& loaded, StableDiagram& diagram, int initialT, int finalT,
                       std::string (&names)[3], int (&rows)[3], ErrorText& error);

// The file name of the pair's table: "_Data(FIRST-SECOND).txt" with the database's phase names.
std::string stableTableName(const TdbSystem& system, PhasePair pair);
