// libFuzzer target: arbitrary bytes as a TDB database, read, and every function and parameter
// it holds evaluated at a few temperatures. Whatever the bytes, the reader either reads them or
// names the line and the fault; it never crashes, loops or reads out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/tdb_reader.h"

namespace {

const std::string& scratchFile()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/tdb-fuzzer-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp") + "/input.tdb";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (std::FILE* file = std::fopen(scratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    TdbDatabase database;
    ErrorText error{};
    if (!readTdb(scratchFile().c_str(), database, error)) return 0;
    double value = 0;
    for (const double T : {1.0, 298.15, 1000.0, 1e6})
        for (const TdbFunction& f : database.functions) evaluateTdb(database, f.value, T, value, error);
    for (const TdbParameter& p : database.parameters) evaluateTdb(database, p.value, 500.0, value, error);
    return 0;
}
