// Percentiles of the solidification path over the replicates of the model.
#include "solidification/replicate_spread.h"

#include <algorithm>
#include <cmath>

namespace {

// The p-quantile of the values that are finite, NaN when none is.
double quantile(std::vector<double> values, double p)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return !std::isfinite(v); }), values.end());
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const double position = p * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (position - static_cast<double>(below)) * (values[above] - values[below]);
}

}  // namespace

bool spreadOfReplicates(StableDiagram& diagram, const std::vector<std::array<PhaseParameters, 3>>& models, double x0,
                        const PathGrid& grid, ReplicateSpread& spread, ErrorText& error)
{
    const PathGrid coarse{grid.from, grid.to, std::max(grid.step, 2.5)};
    SolidificationPath nominal;
    if (!solidify(diagram, x0, coarse, nullptr, nominal, error)) return false;
    std::vector<double> liquidus;
    std::vector<double> eutecticEquilibrium;
    std::vector<double> eutecticScheil;
    std::vector<std::vector<double>> fsEquilibrium;
    std::vector<std::vector<double>> fsScheil;
    std::vector<double> temperatures;
    for (const PathRow& row : nominal.rows)
        if (row.event[0] == '\0') temperatures.push_back(row.T);
    fsEquilibrium.assign(temperatures.size(), {});
    fsScheil.assign(temperatures.size(), {});
    spread.failed = 0;
    StableDiagram replicateDiagram;
    for (const auto& replicate : models) {
        const PhaseParameters m[3] = {replicate[0], replicate[1], replicate[2]};
        followStableDiagram(diagram, m, replicateDiagram);
        SolidificationPath path;
        ErrorText ignored{};
        if (!solidify(replicateDiagram, x0, coarse, &nominal, path, ignored)) {
            ++spread.failed;
            continue;
        }
        liquidus.push_back(path.liquidus);
        eutecticEquilibrium.push_back(path.eutecticEquilibrium);
        eutecticScheil.push_back(path.eutecticScheil);
        std::size_t k = 0;
        for (const PathRow& row : path.rows) {
            if (row.event[0] != '\0' || k >= temperatures.size()) continue;
            fsEquilibrium[k].push_back(row.fsEquilibrium);
            fsScheil[k].push_back(row.fsScheil);
            ++k;
        }
    }
    spread.liquidus[0] = quantile(liquidus, 0.025);
    spread.liquidus[1] = quantile(liquidus, 0.975);
    spread.eutecticEquilibrium[0] = quantile(eutecticEquilibrium, 0.025);
    spread.eutecticEquilibrium[1] = quantile(eutecticEquilibrium, 0.975);
    spread.eutecticScheil[0] = quantile(eutecticScheil, 0.025);
    spread.eutecticScheil[1] = quantile(eutecticScheil, 0.975);
    for (std::size_t k = 0; k < temperatures.size(); ++k)
        spread.band.push_back({temperatures[k], quantile(fsEquilibrium[k], 0.025), quantile(fsEquilibrium[k], 0.975),
                               quantile(fsScheil[k], 0.025), quantile(fsScheil[k], 0.975), spread.failed});
    return true;
}

