// The database a program takes its model from with --tdb FILE (and --phases LIST): read before the
// program enters its working folder, so that FILE is named as the user typed it.
#pragma once

#include "app/command_line.h"
#include "formats/tdb_binary.h"

// The help lines of --phases, --element and --gas-constant, for the programs that take --tdb (a
// string literal, to be joined with each program's own help).
#define DATABASE_OPTIONS_HELP                                                                              \
    "      --elements A,B   the system's two elements, where the database holds more\n"                    \
    "      --phases LIST    its phases, e.g. LIQUID,FCC_A1,BCT_A5 (default: every phase the two\n"          \
    "                       elements form)\n"                                                               \
    "      --element EL     x is the mole fraction of EL (default: the second element in\n"                 \
    "                       alphabetical order)\n"                                                          \
    "      --gas-constant R the gas constant with the database, J/(mol K) (default 8.31451, as the\n"       \
    "                       programs that write databases take it; 8.3144 for phasediagram-tdb's)\n"

// Loads the binary system of options.tdb (--elements, --phases, --element, --gas-constant) for the
// programs that take the whole diagram of any system; on a fault of the file or of the options,
// one line "program: FILE: line N: reason" on standard error and false.
bool openBinaryDatabase(const char* program, const CommonOptions& options, LoadedBinary& loaded);
