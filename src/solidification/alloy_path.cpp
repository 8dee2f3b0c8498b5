// Both paths of an alloy of any binary on one grid of temperatures.
#include "solidification/alloy_path.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A row's temperature and the transitions of each path there.
struct RowAt {
    double T;
    const PathEvent* equilibrium;
    const char* scheil;
};

// The state a transition's row shows: the tie-line where one side has one (its ends as they are at
// the boundary), the state above at a reaction.
const AlloyState& shownState(const PathEvent& e)
{
    if (e.above.count == 1 && e.below.count == 2) return e.below;
    return e.above;
}

void equilibriumColumns(const BinarySystem& system, const AlloyState& state, double x0, AlloyPathRow& row)
{
    row.fs[0] = 1 - liquidAmount(system, state);
    int liquids = 0;
    int solids = 0;
    for (int k = 0; k < state.count; ++k) {
        const PhaseAmount& p = state.phases[k];
        const bool liquid = system.phases[static_cast<std::size_t>(p.phase)].liquid;
        (liquid ? liquids : solids) += 1;
        (liquid ? row.xLiquid[0] : row.xSolid[0]) = p.x;
    }
    if (liquids != 1) row.xLiquid[0] = NAN;
    if (solids != 1) row.xSolid[0] = NAN;
    if (state.count == 1) (liquids == 1 ? row.xLiquid[0] : row.xSolid[0]) = x0;
}

}  // namespace

bool alloyTransitions(const BinarySystem& system, const BinaryDiagram& diagram, double x0, AlloyPath& path,
                      ErrorText& error)
{
    path = AlloyPath{};
    path.x0 = x0;
    path.spans = fieldSpans(diagram);
    SystemAt at;
    return equilibriumEvents(system, at, diagram, path.spans, x0, path.events, error) &&
           scheilPath(system, at, diagram, path.spans, x0, path.events, {}, path.scheil, error);
}

double lastTransition(const AlloyPath& path)
{
    double last = path.scheil.end;
    if (!path.scheil.stopped.empty() || !std::isfinite(last)) last = path.scheil.liquidus;
    if (!path.events.empty()) last = std::fmin(last, path.events.back().T);
    return last;
}

bool alloyPathRows(const BinarySystem& system, const BinaryDiagram& diagram, const PathGrid& grid, AlloyPath& path,
                   ErrorText& error)
{
    std::vector<RowAt> at;
    for (long k = 0;; ++k) {
        const double T = grid.from - static_cast<double>(k) * grid.step;
        if (T < grid.to - 1e-9) break;
        at.push_back({T, nullptr, nullptr});
    }
    for (const PathEvent& e : path.events) at.push_back({e.T, &e, nullptr});
    for (const ScheilStage& s : path.scheil.stages)
        if (s.name[0] != '\0') at.push_back({s.from, nullptr, s.name});
    std::stable_sort(at.begin(), at.end(), [](const RowAt& a, const RowAt& b) { return a.T > b.T; });
    // One row per temperature, the transitions there merged.
    std::vector<RowAt> merged;
    for (const RowAt& r : at) {
        if (!merged.empty() && std::fabs(merged.back().T - r.T) < 1e-9) {
            RowAt& m = merged.back();
            if (r.equilibrium != nullptr) m.T = r.T, m.equilibrium = r.equilibrium;
            if (r.scheil != nullptr) m.scheil = r.scheil;
            continue;
        }
        merged.push_back(r);
    }
    merged.erase(std::remove_if(merged.begin(), merged.end(),
                                [&](const RowAt& r) { return r.T > grid.from + 1e-9 || r.T < grid.to - 1e-9; }),
                 merged.end());

    std::vector<double> temperatures;
    for (const RowAt& r : merged) temperatures.push_back(r.T);
    SystemAt systemAt;
    ScheilPath scheil;
    if (!scheilPath(system, systemAt, diagram, path.spans, path.x0, path.events, temperatures, scheil, error))
        return false;
    const std::size_t phases = system.phases.size();
    std::vector<AlloyPathRow> rows;
    std::vector<bool> held(phases, false);
    for (std::size_t i = 0; i < merged.size(); ++i) {
        const RowAt& r = merged[i];
        AlloyPathRow row{r.T, {NAN, NAN}, {NAN, NAN}, {NAN, NAN}, {std::vector<double>(phases, 0.0), {}}, ""};
        AlloyState state;
        if (r.equilibrium != nullptr) {
            state = shownState(*r.equilibrium);
        } else if (!alloyStateAt(system, systemAt, diagram, path.spans, r.T, path.x0, state)) {
            return fail(error, "the phases of x = %g could not be solved at %.4f K", path.x0, r.T);
        }
        equilibriumColumns(system, state, path.x0, row);
        for (int k = 0; k < state.count; ++k)
            row.amount[0][static_cast<std::size_t>(state.phases[k].phase)] += state.phases[k].amount;
        const ScheilPoint& p = scheil.points[i];
        row.fs[1] = p.fs;
        row.xLiquid[1] = p.xLiquid;
        row.xSolid[1] = p.xSolid;
        row.amount[1] = p.amount;
        const std::string eq = r.equilibrium != nullptr ? r.equilibrium->name : "";
        const std::string sc = r.scheil != nullptr ? r.scheil : "";
        row.event = sc.empty() || sc == eq ? eq : eq.empty() ? sc + " (Scheil)" : eq + ", " + sc + " (Scheil)";
        for (std::size_t q = 0; q < phases; ++q)
            held[q] = held[q] || row.amount[0][q] > 0 || row.amount[1][q] > 0;
        rows.push_back(std::move(row));
    }
    path.phases.clear();
    for (std::size_t q = 0; q < phases; ++q)
        if (held[q]) path.phases.push_back(static_cast<int>(q));
    for (AlloyPathRow& row : rows)
        for (int k = 0; k < 2; ++k) {
            std::vector<double> kept;
            for (const int q : path.phases) kept.push_back(row.amount[k][static_cast<std::size_t>(q)]);
            row.amount[k] = kept;
        }
    path.rows = std::move(rows);
    return true;
}
