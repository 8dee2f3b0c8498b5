// Any binary system of a TDB database as the compound energy formalism models it: the two
// elements chosen from the database's, every phase that the two elements and vacancies can form
// (its other constituents left out), each parameter on those constituents as a term, and the
// parameters' values at any temperature from the database's expressions.
//
// What the model does not hold stops the choice with one line naming the file, the line and the
// feature: an ionic liquid, a phase with a disordered part, a wildcard constituent, an interaction
// of four constituents on one sublattice or of order above 2 among three, a reciprocal parameter
// of order above 0.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"
#include "formats/tdb_reader.h"
#include "model/binary_system.h"

// The source of a system's parameter values: the database's expressions, one per parameter. The
// first failure's reason (file, line, parameter, temperature) is kept in `error`.
struct TdbParameterValues {
    const TdbDatabase* database;
    std::vector<const TdbPiecewise*> parameters;
    mutable ErrorText error;
    mutable std::vector<double> functions;  // each function's value at the temperature evaluated
};

// Chooses the system of `elements` (upper case; both empty: the database's two, where it holds
// exactly two besides VA and the electron gas) with the phases named in `phases` (upper case;
// none: every phase the two can form), x the mole fraction of `xElement` (upper case; empty: the
// second in alphabetical order). The system's parameter source points into `values`, which points
// into the database: both must outlive the system.
bool chooseBinarySystem(const TdbDatabase& database, const std::string (&elements)[2],
                        const std::vector<std::string>& phases, const std::string& xElement, double gasConstant,
                        BinarySystem& system, TdbParameterValues& values, ErrorText& error);

// The temperatures over which the system's terms are stated (K): the overlap of the ranges of
// its parameters and the functions they use, with the terms that bound it. Terms stated over
// less than 10 K are placeholders (COST 507's unassessed "UN_ASS" up to 300 K) and do not count.
// Beyond it the engine takes each term's nearest range, as CALPHAD programs do.
struct StatedRange {
    double lowest;
    double highest;
    const TdbPiecewise* lowBound;   // null where nothing bounds it
    const TdbPiecewise* highBound;
};

StatedRange statedRange(const TdbParameterValues& values);

// The reason the last parameter evaluation of the system failed.
const ErrorText& parameterError(const TdbParameterValues& values);

// What a program holds for a database named on its command line: the database read, its system
// chosen, and its elements as chemistry writes them ("Ag", "Cu"). Not copied: the system points
// into it.
struct LoadedBinary {
    TdbDatabase database;
    BinarySystem system;
    TdbParameterValues values;
    std::string symbols[2];

    LoadedBinary() = default;
    LoadedBinary(const LoadedBinary&) = delete;
    LoadedBinary& operator=(const LoadedBinary&) = delete;
};

// Reads the database at `path` and chooses its system: `elements` "A,B" in any case (empty: the
// database's two), `phases` names separated by commas (empty: all the two can form), x the mole
// fraction of `xElement` (empty: the second in alphabetical order), R and P in expressions the
// gas constant given and 1e5 Pa.
bool loadBinary(const char* path, const std::string& elements, const std::string& phases, const std::string& xElement,
                double gasConstant, LoadedBinary& loaded, ErrorText& error);
