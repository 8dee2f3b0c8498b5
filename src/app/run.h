// One whole run of the program: fit the model to the six data files of the current directory,
// write the regression report, ask for the temperature range, write the tables, sign off.
#pragma once

#include <cstdio>

struct LoadedBinary;

struct RunOptions {
    const char* temperatures[2] = {nullptr, nullptr};  // given as arguments, else read from `in`
    bool quiet = false;                                // no progress on a terminal, no notes
    const LoadedBinary* database = nullptr;            // the system of a database instead of the data files
    const char* databasePath = nullptr;                // as the user named it
    bool weight = false;                               // the database's tables with weight percents too
};

// Reads the two temperatures from `in` (or takes them from the options), prints the banner,
// prompts and closing messages to `out`, and problems (one line each, "phasediagram: ...") to
// `err`. Temperatures below 1 K are refused. Returns the exit status: 0, or 1 when a file or the
// input could not be used; the outputs replace earlier ones only when all five are complete.
//
// With a database, nothing is fitted: the tables hold its system's whole stable diagram between
// the two temperatures (app/binary_tables.h): a table per two-phase field, the invariants and
// special points, the eutectics.
int runPhaseDiagram(std::FILE* in, std::FILE* out, std::FILE* err, const RunOptions& options);
