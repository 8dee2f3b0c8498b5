// libFuzzer target: arbitrary bytes as a TDB database, read, and every function and parameter
// it holds evaluated at a few temperatures; where they make a binary system, its whole diagram
// over 100 K found and an alloy's paths through it; where a system of a liquid and two solids, its stable diagram built and a
// tie-line of each pair asked for. Whatever the bytes, the
// reader either reads them or names the line and the fault, and the solvers answer or say there
// is nothing; nothing crashes, loops or reads out of bounds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "equilibrium/binary_diagram.h"
#include "equilibrium/stable_diagram.h"
#include "formats/tdb_binary.h"
#include "formats/tdb_reader.h"
#include "formats/tdb_system.h"
#include "solidification/alloy_path.h"

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
    // Any binary system it holds, through the one engine, over a short range.
    const std::string none[2] = {"", ""};
    BinarySystem system;
    TdbParameterValues values;
    if (chooseBinarySystem(database, none, {}, "", 8.31451, system, values, error)) {
        BinaryDiagram whole;
        AlloyPath path;
        if (computeBinaryDiagram(system, 400, 500, 50, whole) && alloyTransitions(system, whole, 0.3, path, error))
            alloyPathRows(system, whole, {500, 400, 10}, path, error);
    }
    LoadedTdb loaded;
    if (!loadTdb(scratchFile().c_str(), "", loaded, error)) return 0;
    StableDiagram diagram;
    buildStableDiagram(curveSourceOf(loaded), diagram);
    const double middle = (loaded.range.lowest + std::fmin(loaded.range.highest, loaded.range.lowest + 2000)) / 2;
    for (int t = 0; t < 3; ++t) {
        TieLine line{};
        stableTieLine(diagram, static_cast<PhasePair>(t + 1), middle, nullptr, line);
    }
    return 0;
}
