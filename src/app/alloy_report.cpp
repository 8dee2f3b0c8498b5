// The computation and the texts of one alloy's paths, for the built-in model and a database alike.
#include "app/alloy_report.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "formats/tdb_reader.h"

namespace {

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

// What the alloy's first transition is: "liquidus", the reaction or boundary where it is another,
// or that the alloy is two liquids from the diagram's top.
const char* firstName(const AlloyPath& path)
{
    if (path.scheil.twoLiquidsAtTop) return "two liquids at the diagram's top";
    return path.events.empty() ? "liquidus" : path.events.front().name;
}

// "liquidus: 905.1234 K"
std::string firstTransition(const AlloyPath& path)
{
    return std::string(firstName(path)) + formatted(": %.4f K", path.scheil.liquidus);
}

// ": FCC_A1 forms" where a solid first appears at T: below an equilibrium transition (or, for a
// reaction of the Scheil path alone, along the liquidus that follows it); empty where none does.
std::string formedAt(const BinarySystem& system, const AlloyPath& path, double T, bool scheil)
{
    std::vector<int> formed;
    if (scheil) {
        for (std::size_t k = 0; k + 1 < path.scheil.stages.size(); ++k)
            if (path.scheil.stages[k].name[0] != '\0' && path.scheil.stages[k].from == T &&
                path.scheil.stages[k + 1].name[0] == '\0')
                formed.push_back(path.scheil.stages[k + 1].phase[0]);
    } else {
        for (const PathEvent& e : path.events) {
            if (e.T != T) continue;
            for (int b = 0; b < e.below.count; ++b) {
                const int phase = e.below.phases[b].phase;
                bool before = system.phases[static_cast<std::size_t>(phase)].liquid;
                for (int a = 0; a < e.above.count; ++a) before = before || e.above.phases[a].phase == phase;
                if (!before) formed.push_back(phase);
            }
        }
    }
    std::string text;
    for (const int phase : formed) text += (text.empty() ? ": " : ", ") + nameOf(system, phase);
    return text.empty() ? text : text + " forms";
}

}  // namespace

std::vector<std::string> alloyHeader(const AlloyNames& names, const BinarySystem& system, const AlloyPath& path,
                                     const PathGrid& grid)
{
    std::vector<std::string> header = {
        formatted("Solidification of the alloy x0 = %.6f (mole fraction of ", path.x0) + names.symbols[1] +
        formatted("), from %.4f K to %.4f K", grid.from, grid.to)};
    if (names.haveMasses)
        header.push_back(formatted("x0 by weight: %.4f %% ", 100 * weightOf(names.masses, path.x0)) + names.symbols[1]);
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

SolidificationPicture alloyPicture(const AlloyNames& names, const BinarySystem& system, const AlloyPath& path,
                                   const PathGrid& grid)
{
    SolidificationPicture picture;
    picture.title = "Solidification of " + names.system + formatted(", x0 = %.4f", path.x0);
    if (names.haveMasses)
        picture.title += formatted(" (%.1f wt%% ", 100 * weightOf(names.masses, path.x0)) + names.symbols[1] + ")";
    picture.low = grid.to;
    picture.high = grid.from;
    for (const AlloyPathRow& row : path.rows) {
        if (std::isfinite(row.fs[0])) picture.equilibrium.push_back({row.fs[0], row.T});
        if (std::isfinite(row.fs[1])) picture.scheil.push_back({row.fs[1], row.T});
    }
    for (const AlloyPathRow& row : path.rows) {
        if (row.event.empty()) continue;
        const bool scheil = row.event.find("(Scheil)") != std::string::npos;
        const double fs = std::isfinite(row.fs[1]) && scheil ? row.fs[1] : row.fs[0];
        picture.markers.push_back({std::isfinite(fs) ? fs : 0, row.T,
                                   row.event + formatted(" %.2f K", row.T) + formedAt(system, path, row.T, scheil)});
    }
    for (std::size_t k = 0; k < path.phases.size(); ++k) {
        SolidificationPicture::PhaseAmounts amounts{nameOf(system, path.phases[k]), {}, {}};
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

AlloyFailure solveAlloy(const BinarySystem& system, double x0, AlloyGrid& asked, BinaryDiagram& diagram,
                        AlloyPath& path, ErrorText& error)
{
    // The most rows a path may have.
    constexpr double MAX_ROWS = 100000;
    double top = NAN;
    if (!diagramTop(system, top)) return AlloyFailure::PARAMETERS;
    PathGrid& grid = asked.grid;
    const double low = std::fmin(300.0, asked.toGiven ? grid.to : 300.0);
    const double high = std::fmax(top, asked.fromGiven ? grid.from : 0.0);
    if (!computeBinaryDiagram(system, low, high, DIAGRAM_STEP, diagram)) return AlloyFailure::PARAMETERS;
    if (!alloyTransitions(system, diagram, x0, path, error)) return AlloyFailure::MODEL;
    if (!asked.fromGiven)
        grid.from = path.scheil.twoLiquidsAtTop ? diagram.highest : std::ceil(path.scheil.liquidus) + 20;
    if (!asked.toGiven) grid.to = std::fmax(std::ceil(low), std::floor(lastTransition(path)) - 20);
    if (grid.from < path.scheil.liquidus)
        return fail(error, "the path starts at %g K, below the alloy's liquidus at %.2f K: start above it", grid.from,
                    path.scheil.liquidus),
               AlloyFailure::GRID;
    if (!(grid.to < grid.from))
        return fail(error, "the path would end at %g K, not below its start at %g K", grid.to, grid.from),
               AlloyFailure::GRID;
    const double rows = std::floor((grid.from - grid.to) / grid.step) + 1;
    if (rows > MAX_ROWS)
        return fail(error, "the path from %g K to %g K every %g K would have %.0f rows, more than %.0f: take a larger "
                           "--step or a shorter range",
                    grid.from, grid.to, grid.step, rows, MAX_ROWS),
               AlloyFailure::ROWS;
    return alloyPathRows(system, diagram, grid, path, error) ? AlloyFailure::NONE : AlloyFailure::MODEL;
}

std::string alloySummary(const AlloyPath& path)
{
    std::string text = std::string(firstName(path)) + (path.scheil.twoLiquidsAtTop ? ", " : " ") +
                       formatted("%.2f K", path.scheil.liquidus);
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (!path.scheil.stopped.empty()) return text + "; " + path.scheil.stopped;
    return text + formatted("; the Scheil path ends at %.2f K (", path.scheil.end) + path.scheil.endName +
           formatted(") with %.4f of liquid left", path.scheil.finalFraction);
}
