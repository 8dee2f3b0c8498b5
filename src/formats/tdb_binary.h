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
};

// Chooses the system of `elements` (upper case; both empty: the database's two, where it holds
// exactly two besides VA and the electron gas) with the phases named in `phases` (upper case;
// none: every phase the two can form), x the mole fraction of `xElement` (upper case; empty: the
// second in alphabetical order). The system's parameter source points into `values`, which points
// into the database: both must outlive the system.
bool chooseBinarySystem(const TdbDatabase& database, const std::string (&elements)[2],
                        const std::vector<std::string>& phases, const std::string& xElement, double gasConstant,
                        BinarySystem& system, TdbParameterValues& values, ErrorText& error);

// The reason the last parameter evaluation of the system failed.
const ErrorText& parameterError(const TdbParameterValues& values);
