// The shared options of the programs.
#include "app/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef PHASEDIAGRAM_VERSION
#define PHASEDIAGRAM_VERSION "unknown"
#endif

int usageError(const char* program, const std::string& message) { return usageErrorf(program, "%s", message.c_str()); }

int usageErrorf(const char* program, const char* format, ...)
{
    std::fprintf(stderr, "%s: ", program);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputs(" (see --help)\n", stderr);
    return EXIT_USAGE_ERROR;
}

int handleCommonOption(int code, const char* program, const char* help, const char* argument, CommonOptions& options)
{
    switch (code) {
    case 'h':
        std::fputs(help, stdout);
        return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
    case OPTION_VERSION:
        std::printf("%s %s\n", program, PHASEDIAGRAM_VERSION);
        return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
    case 'C':
        if (optarg[0] == '\0') return usageErrorf(program, "-C/--directory needs the name of a folder");
        options.directory = optarg;
        return -1;
    case OPTION_QUIET:
        options.quiet = true;
        return -1;
    case OPTION_TDB:
        if (optarg[0] == '\0') return usageErrorf(program, "--tdb needs the name of a database file");
        options.tdb = optarg;
        return -1;
    case OPTION_PHASES:
        options.phases = optarg;
        return -1;
    case OPTION_ELEMENT:
        options.element = optarg;
        return -1;
    case OPTION_ELEMENTS:
        options.elements = optarg;
        return -1;
    case OPTION_GAS: {
        char* end = nullptr;
        options.gasConstant = std::strtod(optarg, &end);
        if (end == optarg || *end != '\0' || !(options.gasConstant > 0 && options.gasConstant < 100))
            return usageErrorf(program, "--gas-constant takes R in J/(mol K), above 0 and below 100, not \"%.40s\"",
                               optarg);
        return -1;
    }
    case ':':
        return usageErrorf(program, "%s needs a value", argument);
    default:
        break;
    }
    // getopt_long leaves an unknown long option whole in argv, a short one as its character.
    if (argument != nullptr && argument[0] == '-' && argument[1] == '-')
        return usageErrorf(program, "%s: not an option", argument);
    return usageErrorf(program, "-%c: not an option", static_cast<char>(optopt));
}

int refuseDatabase(const char* program, const CommonOptions& options)
{
    if (options.tdb == nullptr && options.phases == nullptr && options.element == nullptr && options.gasConstant == 0 &&
        options.elements == nullptr)
        return -1;
    return usageErrorf(program, "%s has no meaning here: this program fits its model to the measured data in the folder",
                       options.tdb != nullptr       ? "--tdb"
                       : options.phases != nullptr  ? "--phases"
                       : options.element != nullptr ? "--element"
                       : options.elements != nullptr ? "--elements"
                                                    : "--gas-constant");
}

int checkDatabaseOptions(const char* program, const CommonOptions& options)
{
    if (options.phases != nullptr && options.tdb == nullptr)
        return usageErrorf(program, "--phases names the phases of a database given with --tdb");
    if (options.element != nullptr && options.tdb == nullptr)
        return usageErrorf(program, "--element names an element of a database given with --tdb");
    if (options.elements != nullptr && options.tdb == nullptr)
        return usageErrorf(program, "--elements names two elements of a database given with --tdb");
    if (options.gasConstant != 0 && options.tdb == nullptr)
        return usageErrorf(program, "--gas-constant sets R for a database given with --tdb");
    return -1;
}

bool enterDirectory(const char* program, const CommonOptions& options)
{
    if (options.directory == nullptr || chdir(options.directory) == 0) return true;
    std::fprintf(stderr, "%s: %s: cannot enter the directory: %s\n", program, options.directory, std::strerror(errno));
    return false;
}
