// What the programs share on the command line: -h/--help, --version, -C/--directory DIR,
// --quiet, and --tdb FILE with --elements A,B, --phases LIST and --element EL for a model read
// from a database, parsed with getopt_long beside each program's own options; one message per bad
// option naming it and what it wants; exit status 2 for a usage error, 1 for a data or file
// error, 0 when done.
#pragma once

#include <getopt.h>

#include <string>

inline constexpr int EXIT_DATA_ERROR = 1;
inline constexpr int EXIT_USAGE_ERROR = 2;

// Option codes of the shared options above the single characters; a program numbers its own from
// 2000 on.
enum CommonOptionCode { OPTION_VERSION = 1000, OPTION_QUIET, OPTION_TDB, OPTION_PHASES, OPTION_ELEMENT, OPTION_GAS, OPTION_ELEMENTS };

struct CommonOptions {
    const char* directory = nullptr;  // -C DIR: work there
    bool quiet = false;               // no progress and no notes on standard error
    const char* tdb = nullptr;        // --tdb FILE: the model of a database's binary system
    const char* phases = nullptr;     // --phases LIST: its liquid and two solids, named
    const char* element = nullptr;    // --element EL: the element whose mole fraction is x
    const char* elements = nullptr;   // --elements A,B: the system's two of a database's many
    double gasConstant = 0;           // --gas-constant R (J/(mol K)); 0: the databases' 8.31451
};

// The shared long options, to be followed by a program's own and the closing zero entry.
inline constexpr int COMMON_OPTION_COUNT = 9;
inline constexpr option COMMON_LONG_OPTIONS[COMMON_OPTION_COUNT] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, OPTION_VERSION},
    {"directory", required_argument, nullptr, 'C'},
    {"quiet", no_argument, nullptr, OPTION_QUIET},
    {"tdb", required_argument, nullptr, OPTION_TDB},
    {"phases", required_argument, nullptr, OPTION_PHASES},
    {"element", required_argument, nullptr, OPTION_ELEMENT},
    {"gas-constant", required_argument, nullptr, OPTION_GAS},
    {"elements", required_argument, nullptr, OPTION_ELEMENTS},
};

// The short options of every program: ":hC:" (report a missing value); options and operands may
// come in any order, as with the GNU tools, and "--" ends the options.
inline constexpr const char* COMMON_SHORT_OPTIONS = ":hC:";

// Handles one code that getopt_long returned for a shared option, or a bad option ('?' or ':').
// Returns -1 when the program goes on, else the exit status to end with (after --help or
// --version, or a usage error). `argument` is argv[optind - 1], what the user typed.
int handleCommonOption(int code, const char* program, const char* help, const char* argument,
                       CommonOptions& options);

// "program: message (see --help)" on standard error; returns EXIT_USAGE_ERROR.
int usageError(const char* program, const std::string& message);

// The same from a printf format, without allocating.
[[gnu::format(printf, 2, 3)]] int usageErrorf(const char* program, const char* format, ...);

// For the programs that take their model from the measured data: a usage error where --tdb,
// --phases or --element was given (returns its exit status), else -1. For the others: a usage
// error where --phases or --element comes without --tdb.
int refuseDatabase(const char* program, const CommonOptions& options);
int checkDatabaseOptions(const char* program, const CommonOptions& options);

// Changes into options.directory where one is given; false, with a message, when it cannot.
bool enterDirectory(const char* program, const CommonOptions& options);
