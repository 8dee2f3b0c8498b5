// The lower convex hull of directly evaluated Gibbs energies.
#include "brute_hull.h"

#include <algorithm>
#include <cmath>

#include "model/sublattice_energy.h"

std::vector<std::pair<double, double>> bruteForceFields(const BinarySystem& system, const SystemAt& at, int N)
{
    const double R = system.gasConstant;
    const double T = at.T;
    std::vector<std::pair<double, double>> points;
    for (const ModelPhase& m : system.phases) {
        double y[MAX_CONSTITUENTS] = {};
        double lnY[MAX_CONSTITUENTS] = {};
        int mixing = -1;
        for (const Sublattice& s : m.sublattices) {
            if (s.count == 1)
                y[s.first] = 1;
            else
                mixing = s.first;
        }
        const auto energy = [&](double& x) {
            double nA = 0;
            double nB = 0;
            atomsOf(m, y, nA, nB);
            x = nB / (nA + nB);
            return (nonIdealEnergy(m, at.values.data(), T, R, y, nullptr, nullptr) + R * T * idealMixing(m, y, lnY)) /
                   (nA + nB);
        };
        if (mixing < 0) {
            double x = 0;
            const double G = energy(x);
            points.push_back({x, G});
            continue;
        }
        // The mixing sublattice's first constituent is the system's first element.
        for (int i = 0; i < N; ++i) {
            const double xi = (i + 0.5) / N;
            y[mixing] = 1 - xi;
            y[mixing + 1] = xi;
            lnY[mixing] = std::log1p(-xi);
            lnY[mixing + 1] = std::log(xi);
            double x = 0;
            const double G = energy(x);
            points.push_back({x, G});
        }
    }
    std::sort(points.begin(), points.end());
    std::vector<std::pair<double, double>> hull;
    for (const auto& p : points) {
        while (hull.size() >= 2) {
            const auto& a = hull[hull.size() - 2];
            const auto& b = hull.back();
            if ((b.first - a.first) * (p.second - a.second) - (b.second - a.second) * (p.first - a.first) > 0) break;
            hull.pop_back();
        }
        hull.push_back(p);
    }
    std::vector<std::pair<double, double>> fields;
    for (std::size_t k = 0; k + 1 < hull.size(); ++k)
        if (hull[k + 1].first - hull[k].first > 10.0 / N) fields.push_back({hull[k].first, hull[k + 1].first});
    return fields;
}
