// The database path of phasediagram-solidify: the system read, both paths of the alloy through
// its whole diagram, the table and the picture.
#include "app/solidify_database.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/alloy_report.h"
#include "app/database_option.h"
#include "formats/output_file.h"

int solidifyFromDatabase(const char* program, const CommonOptions& common, DatabaseAlloy alloy)
{
    ErrorText error{};
    const auto stop = [&](const std::string& message) {
        discardOutputs();
        std::fprintf(stderr, "%s: %s\n", program, message.c_str());
        return EXIT_DATA_ERROR;
    };
    LoadedBinary loaded;
    if (!openBinaryDatabase(program, common, loaded)) return EXIT_DATA_ERROR;
    const std::string file = common.tdb;
    AlloyNames names{loaded.symbols[0] + "-" + loaded.symbols[1], {loaded.symbols[0], loaded.symbols[1]}, false, {0, 0}};
    names.haveMasses = elementMasses(loaded.database, loaded.system.elements, names.masses);
    double x0 = alloy.given;
    if (alloy.weight) {
        if (!names.haveMasses) return stop(file + ": the database gives no masses of its elements: give X0 as a mole fraction");
        x0 = moleFractionAtWeight(names.masses, alloy.given / 100);
    }
    if (!enterDirectory(program, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    AlloyGrid grid{alloy.grid, alloy.fromGiven, alloy.toGiven};
    BinaryDiagram diagram;
    AlloyPath path;
    switch (solveAlloy(loaded.system, x0, grid, diagram, path, error)) {
    case AlloyFailure::NONE: break;
    case AlloyFailure::GRID: return stop(error.text);
    case AlloyFailure::ROWS: return usageError(program, error.text);
    case AlloyFailure::PARAMETERS: return stop(parameterError(loaded.values).text);
    case AlloyFailure::MODEL: return stop(file + ": " + error.text);
    }
    std::vector<std::string> phases;
    for (const int p : path.phases) phases.push_back(loaded.system.phases[static_cast<std::size_t>(p)].name);
    const std::string table = formatAlloyPathTable(alloyHeader(names, loaded.system, path, grid.grid), phases, path.rows);
    const std::string svg = drawSolidification(alloyPicture(names, loaded.system, path, grid.grid));
    if (!writeWholeFile(SOLIDIFICATION_FILE, table.data(), table.size(), error) ||
        !writeWholeFile(SOLIDIFICATION_PLOT_FILE, svg.data(), svg.size(), error) || !commitOutputs(error))
        return stop(error.text);
    // A band of an earlier run belongs to the measured data's model, not to this one.
    if (std::remove(SOLIDIFICATION_BAND_FILE) != 0 && errno != ENOENT)
        return stop(std::string(SOLIDIFICATION_BAND_FILE) + ": cannot remove the band of an earlier run: " +
                    std::strerror(errno));
    std::printf("%s\n", alloySummary(path).c_str());
    std::printf("The paths are written in the files : %s, %s\n", SOLIDIFICATION_FILE, SOLIDIFICATION_PLOT_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}
