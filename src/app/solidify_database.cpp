// The database path of phasediagram-solidify: the system's whole diagram, the alloy's transitions
// on both paths, their rows, the table and the picture.
#include "app/solidify_database.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/database_option.h"
#include "formats/output_file.h"
#include "plot/solidification_svg.h"
#include "solidification/alloy_path.h"

namespace {

// The most rows a path may have.
constexpr double MAX_ROWS = 100000;

std::string formatted(const char* pattern, double a, double b = 0, double c = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

const std::string& nameOf(const BinarySystem& system, int phase)
{
    return system.phases[static_cast<std::size_t>(phase)].name;
}

// "LIQUID 0.300000 (x 0.345600) + FCC_A1 0.700000 (x 0.100000)"
std::string stateText(const BinarySystem& system, const AlloyState& state)
{
    // Two sets of one phase across its miscibility gap are named as the diagram's tables name them.
    const bool gap = state.count == 2 && state.phases[0].phase == state.phases[1].phase;
    std::string text;
    for (int k = 0; k < state.count; ++k) {
        if (k > 0) text += " + ";
        text += nameOf(system, state.phases[k].phase) + (gap ? (k == 0 ? "#1" : "#2") : "") +
                formatted(" %.6f (x %.6f)", state.phases[k].amount, state.phases[k].x);
    }
    return text;
}

// "liquidus: 905.1234 K", or where the liquid first separates into two, that.
std::string firstTransition(const AlloyPath& path)
{
    const char* name = path.events.empty() ? "liquidus" : path.events.front().name;
    return std::string(name) + formatted(": %.4f K", path.scheil.liquidus);
}

std::vector<std::string> headerLines(const LoadedBinary& loaded, const AlloyPath& path, const PathGrid& grid)
{
    const BinarySystem& system = loaded.system;
    std::vector<std::string> header = {
        formatted("Solidification of the alloy x0 = %.6f (mole fraction of ", path.x0) + loaded.symbols[1] +
        formatted("), from %.4f K to %.4f K", grid.from, grid.to)};
    double w = 0;
    if (weightFraction(loaded.database, system.elements, path.x0, w))
        header.push_back(formatted("x0 by weight: %.4f %% ", 100 * w) + loaded.symbols[1]);
    header.push_back(firstTransition(path));
    for (const PathEvent& e : path.events)
        header.push_back(formatted("equilibrium, %.4f K, ", e.T) + e.name + ": " + stateText(system, e.above) + " -> " +
                         stateText(system, e.below));
    for (const ScheilStage& s : path.scheil.stages) {
        std::string line = s.name[0] == '\0' ? formatted("Scheil, %.4f K to %.4f K: ", s.from, s.to) + nameOf(system, s.phase[0]) +
                                                   formatted(" forms, %.6f", s.amount[0])
                                             : formatted("Scheil, %.4f K, ", s.from) + s.name + ": ";
        if (s.name[0] != '\0') {
            if (s.phase[0] < 0) line += "the liquid goes on along the next liquidus";
            const bool gap = s.phase[0] == s.phase[1];
            for (int k = 0; k < 2; ++k)
                if (s.phase[k] >= 0)
                    line += std::string(k > 0 ? " + " : "forms ") + nameOf(system, s.phase[k]) +
                            (gap ? (k == 0 ? "#1" : "#2") : "") + formatted(" %.6f", s.amount[k]);
        }
        header.push_back(line);
    }
    if (!path.scheil.stopped.empty()) header.push_back(path.scheil.stopped);
    else
        header.push_back(formatted("Scheil ends at %.4f K, ", path.scheil.end) + path.scheil.endName +
                         formatted(", with a fraction %.6f of liquid left to it", path.scheil.finalFraction));
    header.push_back("Scheil: ln(1 - fS) = -integral of dx/(x - xS) along each liquidus, by the three-point rule on each "
                     "step and its middle");
    return header;
}

SolidificationPicture pictureOf(const LoadedBinary& loaded, const AlloyPath& path, const PathGrid& grid)
{
    SolidificationPicture picture;
    picture.title = "Solidification of " + loaded.symbols[0] + "-" + loaded.symbols[1] + formatted(", x0 = %.4f", path.x0);
    double w = 0;
    if (weightFraction(loaded.database, loaded.system.elements, path.x0, w))
        picture.title += formatted(" (%.1f wt%% ", 100 * w) + loaded.symbols[1] + ")";
    picture.low = grid.to;
    picture.high = grid.from;
    for (const AlloyPathRow& row : path.rows) {
        if (std::isfinite(row.fs[0])) picture.equilibrium.push_back({row.fs[0], row.T});
        if (std::isfinite(row.fs[1])) picture.scheil.push_back({row.fs[1], row.T});
    }
    for (const AlloyPathRow& row : path.rows) {
        if (row.event.empty()) continue;
        const double fs = std::isfinite(row.fs[1]) && row.event.find("(Scheil)") != std::string::npos ? row.fs[1] : row.fs[0];
        picture.markers.push_back({std::isfinite(fs) ? fs : 0, row.T, row.event + formatted(" %.2f K", row.T)});
    }
    for (std::size_t k = 0; k < path.phases.size(); ++k) {
        SolidificationPicture::PhaseAmounts amounts{nameOf(loaded.system, path.phases[k]), {}, {}};
        for (const AlloyPathRow& row : path.rows) {
            amounts.equilibrium.push_back({row.amount[0][k], row.T});
            amounts.scheil.push_back({row.amount[1][k], row.T});
        }
        picture.phases.push_back(std::move(amounts));
    }
    picture.notes.push_back(firstTransition(path) +
                            (path.scheil.stopped.empty()
                                 ? formatted("; the Scheil path ends at %.2f K", path.scheil.end) + " (" +
                                       path.scheil.endName + formatted(") with %.4f of liquid left", path.scheil.finalFraction)
                                 : "; " + path.scheil.stopped));
    return picture;
}

}  // namespace

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
    double x0 = alloy.given;
    if (alloy.weight && !moleFractionOfWeight(loaded.database, loaded.system.elements, alloy.given / 100, x0))
        return stop(file + ": the database gives no masses of its elements: give X0 as a mole fraction");
    if (!enterDirectory(program, common)) return EXIT_DATA_ERROR;
    removeOutputsOnSignals();

    // The whole diagram, from 300 K (or the path's end) to 50 K above the highest melting point (or
    // the path's start).
    double melting = NAN;
    if (!highestMeltingPoint(loaded.system, melting)) return stop(parameterError(loaded.values).text);
    const double low = std::fmin(300.0, alloy.toGiven ? alloy.grid.to : 300.0);
    const double high = std::fmax(std::isfinite(melting) ? melting + 50 : 2000.0, alloy.fromGiven ? alloy.grid.from : 0.0);
    BinaryDiagram diagram;
    if (!computeBinaryDiagram(loaded.system, low, high, DIAGRAM_STEP, diagram)) return stop(parameterError(loaded.values).text);
    AlloyPath path;
    if (!alloyTransitions(loaded.system, diagram, x0, path, error)) return stop(file + ": " + error.text);
    PathGrid& grid = alloy.grid;
    if (!alloy.fromGiven) grid.from = std::ceil(path.scheil.liquidus) + 20;
    if (!alloy.toGiven) grid.to = std::fmax(std::ceil(low), std::floor(lastTransition(path)) - 20);
    if (grid.from < path.scheil.liquidus)
        return stop(formatted("the path starts at %g K, below the alloy's liquidus at %.2f K: start above it", grid.from,
                              path.scheil.liquidus));
    if (!(grid.to < grid.from))
        return stop(formatted("the path would end at %g K, not below its start at %g K", grid.to, grid.from));
    const double rows = std::floor((grid.from - grid.to) / grid.step) + 1;
    if (rows > MAX_ROWS)
        return usageError(program, formatted("the path from %g K to %g K", grid.from, grid.to) +
                                       formatted(" every %g K would have %.0f rows", grid.step, rows) +
                                       formatted(", more than %.0f: take a larger --step or a shorter range", MAX_ROWS));
    if (!alloyPathRows(loaded.system, diagram, grid, path, error)) return stop(file + ": " + error.text);

    std::vector<std::string> phases;
    for (const int p : path.phases) phases.push_back(nameOf(loaded.system, p));
    const std::string table = formatAlloyPathTable(headerLines(loaded, path, grid), phases, path.rows);
    const std::string svg = drawSolidification(pictureOf(loaded, path, grid));
    if (!writeWholeFile(SOLIDIFICATION_FILE, table.data(), table.size(), error) ||
        !writeWholeFile(SOLIDIFICATION_PLOT_FILE, svg.data(), svg.size(), error) || !commitOutputs(error))
        return stop(error.text);
    // A band of an earlier run belongs to the measured data's model, not to this one.
    if (std::remove(SOLIDIFICATION_BAND_FILE) != 0 && errno != ENOENT)
        return stop(std::string(SOLIDIFICATION_BAND_FILE) + ": cannot remove the band of an earlier run: " +
                    std::strerror(errno));
    std::string first = firstTransition(path);
    first[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(first[0])));
    std::printf("%s; ", first.c_str());
    if (path.scheil.stopped.empty())
        std::printf("the Scheil path ends at %.2f K (%s) with %.4f of liquid left\n", path.scheil.end,
                    path.scheil.endName, path.scheil.finalFraction);
    else
        std::printf("%s\n", path.scheil.stopped.c_str());
    std::printf("The paths are written in the files : %s, %s\n", SOLIDIFICATION_FILE, SOLIDIFICATION_PLOT_FILE);
    return std::fflush(stdout) == 0 ? 0 : EXIT_DATA_ERROR;
}
