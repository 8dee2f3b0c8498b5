// The expressions of TDB databases as the reader takes them: a function of temperature in ranges,
// "low expression; high Y expression; high N", parsed into postfix steps whose references to
// functions are resolved once the whole file is read. The evaluation is declared with the
// database's records (tdb_reader.h).
#pragma once

#include <string>
#include <vector>

#include "formats/tdb_reader.h"

std::string upperCase(std::string text);

// The text without the white space (as isspace has it) at either end.
std::string trimmedText(const std::string& text);

// Reads the ranges from `text` at `at` into `value`, its function references into `names` (to be
// resolved). False with the reason in `problem`: a number that is none or beyond the range of a
// double, an expression that cannot be read, a range without its upper temperature or its Y or N.
bool readPiecewise(const std::string& text, std::size_t at, TdbPiecewise& value, std::vector<std::string>& names,
                   std::string& problem);

// Resolves the names a piecewise function refers to into the database's functions; fails naming
// the file, the line and a function the database does not define.
bool resolveFunctions(const TdbDatabase& database, TdbPiecewise& value, const std::vector<std::string>& names,
                      ErrorText& error);
