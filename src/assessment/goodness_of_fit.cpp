// The assessment judged: chi-square's tail probability, the largest contributions, and the slips
// found by refitting without each point far off.
#include "assessment/goodness_of_fit.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <string>

#include "numeric/distributions.h"

namespace {

int residualCount(const JointFit& fit)
{
    int n = 0;
    for (const auto& phase : fit.files)
        for (const GroupFit& g : phase) n += g.count;
    return n + static_cast<int>(fit.points.size());
}

// The contributions of every file and point, largest beyond its count first.
std::vector<Contribution> contributions(const JointFit& fit)
{
    std::vector<Contribution> all;
    for (int p = 0; p < 3; ++p)
        for (int kind = 0; kind < 2; ++kind)
            all.push_back({false, p, kind, 0, fit.files[p][kind].count, fit.files[p][kind].chiSquare});
    for (std::size_t i = 0; i < fit.points.size(); ++i) {
        const double r = fit.points[i].normalised;
        all.push_back({true, 0, 0, i, 1, r * r});
    }
    std::stable_sort(all.begin(), all.end(), [](const Contribution& a, const Contribution& b) {
        return a.chiSquare - a.count > b.chiSquare - b.count;
    });
    return all;
}

}  // namespace

std::string contributorName(const Contribution& c, const std::vector<BoundaryPoint>& points)
{
    if (!c.isPoint) return fitFileName(static_cast<PhaseIndex>(c.phase), c.kind);
    return std::string(BOUNDARY_POINTS_FILE) + " line " + std::to_string(points[c.point].line);
}

GoodnessOfFit judgeFit(const FitSamples& samples, const std::vector<BoundaryPoint>& points,
                       const BoundaryScatter& scatter, Assessment& a)
{
    GoodnessOfFit g{};
    g.residuals = residualCount(a.after);
    g.degrees = g.residuals - COEFFICIENTS;
    g.chiSquare = a.after.chiSquare;
    g.probability = g.degrees > 0 ? chiSquareTail(g.chiSquare, g.degrees) : NAN;
    g.poor = g.probability < POOR_FIT_PROBABILITY;
    g.scale = g.poor ? std::sqrt(g.chiSquare / g.degrees) : 1.0;
    a.intervalScale = g.scale;
    for (double& e : a.standardError) e *= g.scale;
    for (const Contribution& c : contributions(a.after))
        if (g.largest.size() < 3 && c.chiSquare > c.count) g.largest.push_back(c);

    // Slips one at a time: of the points still far off, the one whose removal lowers chi-square
    // most, then the same without it. A single slip pulls the model and with it other points off
    // their boundaries; refitted without the slip, they come back.
    std::vector<std::size_t> kept(points.size());  // the points of the current fit, as indices into `points`
    for (std::size_t i = 0; i < points.size(); ++i) kept[i] = i;
    const JointFit* current = &a.after;
    Assessment reduced;
    while (static_cast<int>(g.slips.size()) < MAX_SLIPS) {
        std::vector<std::size_t> candidates;  // indices into current->points
        for (std::size_t i = 0; i < current->points.size(); ++i)
            if (std::fabs(current->points[i].normalised) > SLIP_SIGMAS) candidates.push_back(i);
        std::stable_sort(candidates.begin(), candidates.end(), [&](std::size_t l, std::size_t r) {
            return std::fabs(current->points[l].normalised) > std::fabs(current->points[r].normalised);
        });
        if (candidates.size() > static_cast<std::size_t>(SLIP_CANDIDATES)) candidates.resize(SLIP_CANDIDATES);
        bool found = false;
        Assessment best;
        std::size_t bestCandidate = 0;
        for (const std::size_t c : candidates) {
            std::vector<BoundaryPoint> rest;
            for (std::size_t i = 0; i < kept.size(); ++i)
                if (i != c) rest.push_back(points[kept[i]]);
            Assessment refit;
            ErrorText ignored{};
            if (!assessModel(samples, rest, scatter, refit, ignored)) continue;
            if (!found || refit.after.chiSquare < best.after.chiSquare) {
                found = true;
                best = std::move(refit);
                bestCandidate = c;
            }
        }
        if (!found) break;
        const std::size_t slip = kept[bestCandidate];
        g.slips.push_back({slip, a.after.points[slip].normalised, best.after.chiSquare,
                           residualCount(best.after) - COEFFICIENTS, best.after.haveEutectic,
                           best.after.haveEutectic ? best.after.eutectic[0] : NAN});
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(bestCandidate));
        reduced = std::move(best);
        current = &reduced.after;
    }
    return g;
}
