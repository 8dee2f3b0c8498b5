// Reading the database of --tdb for a program.
#include "app/database_option.h"

#include <cstdio>

bool openBinaryDatabase(const char* program, const CommonOptions& options, LoadedBinary& loaded)
{
    ErrorText error{};
    if (!loadBinary(options.tdb, options.elements != nullptr ? options.elements : "",
                    options.phases != nullptr ? options.phases : "", options.element != nullptr ? options.element : "",
                    options.gasConstant > 0 ? options.gasConstant : TDB_GAS_CONSTANT, loaded, error)) {
        std::fprintf(stderr, "%s: %s\n", program, error.text);
        return false;
    }
    const BinarySystem& system = loaded.system;
    if (!system.leftOut.empty() && !options.quiet) {
        std::string names;
        for (std::size_t i = 0; i < system.leftOut.size(); ++i)
            names += (i == 0 ? "" : i + 1 == system.leftOut.size() ? " and " : ", ") + system.leftOut[i];
        std::string chosen;
        for (std::size_t i = 0; i < system.phases.size(); ++i)
            chosen += (i == 0 ? "" : i + 1 == system.phases.size() ? " and " : ", ") + system.phases[i].name;
        std::fprintf(stderr, "%s: note: %s: %s left out: the diagram is that of %s alone\n", program, options.tdb,
                     names.c_str(), chosen.c_str());
    }
    return true;
}
