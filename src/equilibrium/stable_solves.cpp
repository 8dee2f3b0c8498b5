// The stable tie-lines and the stable eutectic, solved without random start values.
#include "equilibrium/stable_solves.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "equilibrium/refine.h"

namespace {

// Where the search for the eutectic's temperature starts, its step and its bounds (K).
constexpr double SEARCH_START = 1000.0;
constexpr double SEARCH_STEP = 25.0;
constexpr double SEARCH_LOW = 25.0;
constexpr double SEARCH_HIGH = 6000.0;
constexpr int BISECTIONS = 24;

const PhaseParameters& firstOf(const PhaseParameters (&model)[3], PhasePair pair) { return model[firstPhase(pair)]; }
const PhaseParameters& secondOf(const PhaseParameters (&model)[3], PhasePair pair) { return model[secondPhase(pair)]; }

// `curves` holds the model's curves at T, or is filled with them here when `haveCurves` is false.
bool refineStable(const PhaseParameters (&model)[3], PhasePair pair, double T, Vector4 guess, Vector4& solution,
                  GibbsCurves& curves, bool& haveCurves)
{
    Vector4 result{};
    if (refineTwoPhase(T, guess, result, firstOf(model, pair), secondOf(model, pair), pair) >= ITERATION_LIMIT)
        return false;
    if (!haveCurves) {
        gibbsCurves(model, T, curves);
        haveCurves = true;
    }
    if (!isStableTieLine(curves, firstPhase(pair), result[0], secondPhase(pair), result[1])) return false;
    solution = result;
    return true;
}

// What the lower hull shows at one temperature: whether the liquid lies on it at all, and whether
// it lies between FCC and BCC, with the start values that the hull's tie-lines then give.
struct HullView {
    bool liquid;
    bool between;
    Vector4 start;  // T, xL, xBCC, xFCC
};

HullView viewHull(const PhaseParameters (&model)[3], double T, GibbsCurves& curves, std::vector<HullTieLine>& tieLines)
{
    gibbsCurves(model, T, curves);
    hullTieLines(curves, tieLines);
    HullView view{false, false, {T, 0, 0, 0}};
    std::vector<StableState> states;
    // The liquid is on the hull where a tie-line ends on it, or where it is the lowest curve alone.
    for (const HullTieLine& line : tieLines)
        if (line.left == LIQUID || line.right == LIQUID) view.liquid = true;
    if (!view.liquid) {
        stableStates(curves, {0.5}, states);
        view.liquid = states[0].first == LIQUID && states[0].second == LIQUID;
    }
    for (std::size_t i = 0; i + 1 < tieLines.size(); ++i) {
        const HullTieLine& a = tieLines[i];
        const HullTieLine& b = tieLines[i + 1];
        if (a.right != LIQUID || b.left != LIQUID || a.left == LIQUID || b.right == LIQUID || a.left == b.right)
            continue;
        view.between = true;
        view.start[1] = (a.xRight + b.xLeft) / 2;
        view.start[a.left == BCC ? 2 : 3] = a.xLeft;
        view.start[b.right == BCC ? 2 : 3] = b.xRight;
        break;
    }
    return view;
}

bool refineStableEutectic(const PhaseParameters (&model)[3], Vector4 guess, Vector4& eutectic)
{
    Vector4 result{};
    if (refineEutectic(guess, result, model[LIQUID], model[BCC], model[FCC]) >= ITERATION_LIMIT) return false;
    if (!isStableEutectic(model, result)) return false;
    eutectic = result;
    return true;
}

// Coefficients a fraction `t` of the way from `from` to `target`.
void between(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], double t, PhaseParameters (&model)[3])
{
    for (int p = LIQUID; p <= FCC; ++p)
        model[p] = {from[p].a0 + t * (target[p].a0 - from[p].a0), from[p].a1 + t * (target[p].a1 - from[p].a1),
                    from[p].b0 + t * (target[p].b0 - from[p].b0), from[p].b1 + t * (target[p].b1 - from[p].b1)};
}

// Refines from `start` along the path in 1, 2, 4, 8, 16 steps until one succeeds; `refine` solves
// one model from a guess.
template <typename Refine>
bool follow(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], const Vector4& start,
            Vector4& solution, Refine refine)
{
    for (int steps = 1; steps <= 16; steps *= 2) {
        Vector4 guess = start;
        bool ok = true;
        for (int k = 1; k <= steps && ok; ++k) {
            PhaseParameters model[3];
            if (k == steps)
                std::copy(std::begin(target), std::end(target), std::begin(model));
            else
                between(from, target, static_cast<double>(k) / steps, model);
            Vector4 result{};
            ok = refine(model, guess, result);
            guess = result;
        }
        if (ok) {
            solution = guess;
            return true;
        }
    }
    return false;
}

}  // namespace

bool followEutectic(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], const Vector4& start,
                    Vector4& solution)
{
    return follow(from, target, start, solution,
                  [](const PhaseParameters (&model)[3], Vector4 guess, Vector4& result) {
                      return refineEutectic(guess, result, model[LIQUID], model[BCC], model[FCC]) < ITERATION_LIMIT;
                  });
}

bool followTieLine(const PhaseParameters (&from)[3], const PhaseParameters (&target)[3], PhasePair pair, double T,
                   const Vector4& start, Vector4& solution)
{
    return follow(from, target, start, solution,
                  [pair, T](const PhaseParameters (&model)[3], Vector4 guess, Vector4& result) {
                      return refineTwoPhase(T, guess, result, firstOf(model, pair), secondOf(model, pair), pair) <
                             ITERATION_LIMIT;
                  });
}

bool solveStableTieLine(const PhaseParameters (&model)[3], PhasePair pair, double T, const Vector4* start,
                        Vector4& solution, GibbsCurves& curves)
{
    bool haveCurves = false;
    if (start != nullptr && refineStable(model, pair, T, *start, solution, curves, haveCurves)) return true;
    if (!haveCurves) gibbsCurves(model, T, curves);
    haveCurves = true;
    std::vector<HullTieLine> tieLines;
    hullTieLines(curves, tieLines);
    const PhaseIndex p = firstPhase(pair);
    const PhaseIndex q = secondPhase(pair);
    for (const HullTieLine& line : tieLines) {
        if (line.left == p && line.right == q &&
            refineStable(model, pair, T, {line.xLeft, line.xRight, 0, 0}, solution, curves, haveCurves))
            return true;
        if (line.left == q && line.right == p &&
            refineStable(model, pair, T, {line.xRight, line.xLeft, 0, 0}, solution, curves, haveCurves))
            return true;
    }
    return false;
}

bool solveStableEutectic(const PhaseParameters (&model)[3], Vector4& eutectic)
{
    GibbsCurves curves;
    std::vector<HullTieLine> tieLines;

    // Find a temperature with the liquid between the solids: below it the hull holds no liquid,
    // above the range of the three-phase field the liquid has ousted a solid.
    double T = SEARCH_START;
    HullView view = viewHull(model, T, curves, tieLines);
    const double direction = view.between || view.liquid ? -SEARCH_STEP : SEARCH_STEP;
    while (!view.between && T + direction >= SEARCH_LOW && T + direction <= SEARCH_HIGH) {
        T += direction;
        view = viewHull(model, T, curves, tieLines);
    }
    if (view.between) {
        // Down to the last temperature with the liquid between them, then bisect the step below.
        double high = T;
        HullView highView = view;
        double low = T - SEARCH_STEP;
        while (low >= SEARCH_LOW) {
            const HullView lowView = viewHull(model, low, curves, tieLines);
            if (!lowView.between) break;
            high = low;
            highView = lowView;
            low -= SEARCH_STEP;
        }
        if (low >= SEARCH_LOW) {
            for (int i = 0; i < BISECTIONS; ++i) {
                const double middle = (low + high) / 2;
                const HullView middleView = viewHull(model, middle, curves, tieLines);
                if (middleView.between) {
                    high = middle;
                    highView = middleView;
                } else {
                    low = middle;
                }
            }
        }
        if (refineStableEutectic(model, highView.start, eutectic)) return true;
    }

    // Fixed start values, for models whose three phases the hull does not show in that order.
    for (const double start : {1000.0, 800.0, 1200.0, 600.0})
        for (const double xL : {0.5, 0.3, 0.7})
            for (const double xBCC : {0.9, 0.7})
                for (const double xFCC : {0.1, 0.3})
                    if (refineStableEutectic(model, {start, xL, xBCC, xFCC}, eutectic)) return true;
    return false;
}
