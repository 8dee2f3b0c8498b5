// The shared options of the programs.
#include "app/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef PHASEDIAGRAM_VERSION
#define PHASEDIAGRAM_VERSION "unknown"
#endif

std::vector<option> commonLongOptions()
{
    return {{"help", no_argument, nullptr, 'h'},
            {"version", no_argument, nullptr, OPTION_VERSION},
            {"directory", required_argument, nullptr, 'C'},
            {"quiet", no_argument, nullptr, OPTION_QUIET}};
}

int usageError(const char* program, const std::string& message)
{
    std::fprintf(stderr, "%s: %s (see --help)\n", program, message.c_str());
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
        options.directory = optarg;
        return -1;
    case OPTION_QUIET:
        options.quiet = true;
        return -1;
    case ':':
        return usageError(program, std::string(argument) + " needs a value");
    default:
        break;
    }
    // getopt_long leaves an unknown long option whole in argv, a short one as its character.
    if (argument != nullptr && argument[0] == '-' && argument[1] == '-')
        return usageError(program, std::string(argument) + ": not an option");
    return usageError(program, std::string("-") + static_cast<char>(optopt) + ": not an option");
}

bool enterDirectory(const char* program, const CommonOptions& options)
{
    if (options.directory == nullptr || chdir(options.directory) == 0) return true;
    std::fprintf(stderr, "%s: %s: cannot enter the directory: %s\n", program, options.directory, std::strerror(errno));
    return false;
}
