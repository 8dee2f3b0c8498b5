// The tables' rows completed, classified and cut into pieces of line.
#include "plot/boundary_rows.h"

#include <cmath>
#include <map>

#include "equilibrium/refine.h"
#include "equilibrium/stability.h"

bool isSolved(const BoundaryRow& row)
{
    return row.valid && row.x[0] > 0 && row.x[0] < 1 && row.x[1] > 0 && row.x[1] < 1;
}

namespace {

// Asks the diagram for the stable tie-lines at the rows first, first + step, ... up to and
// including last, each continued from the one before (from `start` for the first, where given),
// and marks those it has.
void walkGap(const StableDiagram& stable, PhasePair pair, std::vector<BoundaryRow>& rows, std::ptrdiff_t first,
             std::ptrdiff_t last, std::ptrdiff_t step, const BoundaryRow* start, std::vector<bool>& solved)
{
    bool havePrevious = start != nullptr;
    TieLine previous = havePrevious ? tieLineOf(logRatio(start->x[0]), logRatio(start->x[1])) : TieLine{};
    for (std::ptrdiff_t k = first; step > 0 ? k <= last : k >= last; k += step) {
        BoundaryRow& row = rows[static_cast<std::size_t>(k)];
        TieLine line{};
        havePrevious = stableTieLine(stable, pair, row.T, havePrevious ? &previous : nullptr, line);
        if (!havePrevious) continue;
        previous = line;
        row = {row.T, {line.x[0], line.x[1]}, 0, true};
        solved[static_cast<std::size_t>(k)] = true;
    }
}

}  // namespace

void completeBoundaries(const DiagramData& data, const StableDiagram& stable, BoundaryTable (&completed)[3],
                        std::vector<CompletedStretch>& stretches)
{
    stretches.clear();
    for (int t = 0; t < 3; ++t) {
        const auto pair = static_cast<PhasePair>(t + 1);
        completed[t] = data.tables[t];
        std::vector<BoundaryRow>& rows = completed[t].rows;
        const auto size = static_cast<std::ptrdiff_t>(rows.size());
        std::vector<bool> solved(rows.size(), false);
        for (std::ptrdiff_t i = 0; i < size;) {
            if (isSolved(rows[static_cast<std::size_t>(i)])) {
                ++i;
                continue;
            }
            std::ptrdiff_t j = i;
            while (j + 1 < size && !isSolved(rows[static_cast<std::size_t>(j + 1)])) ++j;
            // The gap i..j: its lower half continued upwards from the row below it, its upper half
            // downwards from the row above it; a gap at an end of the table from its one side.
            const BoundaryRow* below = i > 0 ? &data.tables[t].rows[static_cast<std::size_t>(i - 1)] : nullptr;
            const BoundaryRow* above = j + 1 < size ? &data.tables[t].rows[static_cast<std::size_t>(j + 1)] : nullptr;
            const std::ptrdiff_t split = below != nullptr && above != nullptr ? i + (j - i + 1) / 2
                                        : below != nullptr                    ? j + 1
                                                                              : i;
            walkGap(stable, pair, rows, i, split - 1, 1, below, solved);
            walkGap(stable, pair, rows, j, split, -1, above, solved);
            i = j + 1;
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!solved[r]) continue;
            if (r > 0 && solved[r - 1] && !stretches.empty() && static_cast<long long>(stretches.back().to) + 1 == rows[r].T)
                stretches.back().to = rows[r].T;
            else
                stretches.push_back({pair, rows[r].T, rows[r].T});
        }
    }
}

void classifyRows(const DiagramData& data, std::vector<bool> (&stable)[3])
{
    std::map<int, std::vector<std::pair<int, std::size_t>>> rowsAt;  // T -> (table, row)
    for (int t = 0; t < 3; ++t) {
        stable[t].assign(data.tables[t].rows.size(), false);
        for (std::size_t r = 0; r < data.tables[t].rows.size(); ++r) {
            const BoundaryRow& row = data.tables[t].rows[r];
            if (row.valid && row.x[0] > 0 && row.x[0] < 1 && row.x[1] > 0 && row.x[1] < 1)
                rowsAt[row.T].push_back({t, r});
        }
    }
    GibbsCurves curves;
    for (const auto& [T, rows] : rowsAt) {
        gibbsCurves(data.model, T, curves);
        for (const auto& [t, r] : rows) {
            const auto pair = static_cast<PhasePair>(t + 1);
            const BoundaryRow& row = data.tables[t].rows[r];
            stable[t][r] = isStableTieLine(curves, firstPhase(pair), row.x[0], secondPhase(pair), row.x[1]);
        }
    }
}

std::vector<BoundarySegment> boundarySegments(const BoundaryTable& table, int column, const std::vector<bool>& stable)
{
    std::vector<BoundarySegment> segments;
    bool open = false;
    int previousT = 0;
    double previousX = 0;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const BoundaryRow& row = table.rows[r];
        const double x = row.x[column];
        if (!row.valid || !(x > 0 && x < 1)) {
            open = false;
            continue;
        }
        const bool continues = open && row.T == static_cast<long long>(previousT) + 1 && std::fabs(x - previousX) <= JUMP_LIMIT;
        if (!continues) {
            segments.push_back({{}, stable[r]});
        } else if (segments.back().stable != stable[r]) {
            segments.push_back({{{previousX, static_cast<double>(previousT)}}, stable[r]});
        }
        segments.back().points.push_back({x, static_cast<double>(row.T)});
        open = true;
        previousT = row.T;
        previousX = x;
    }
    return segments;
}

int rowsNotSolved(const PhaseParameters (&model)[3], PhasePair pair, const BoundaryTable& table)
{
    int count = 0;
    for (const BoundaryRow& row : table.rows)
        if (isSolved(row) && !solvesPairEquations(model, pair, row.T, row.x[0], row.x[1], ROW_TOLERANCE)) ++count;
    return count;
}
