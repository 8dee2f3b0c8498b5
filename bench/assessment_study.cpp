// phasediagram-assessment-study: data sets and boundary points simulated from known models with
// known scatter, each assessed as a user's would be; prints, per model, compositions per file and
// number of boundary points, the root-mean-square error of the eutectic temperature and of the
// liquidus of three alloys for the straight-line fits and for the assessment, and how often the
// assessment's 95 % interval of the eutectic temperature holds the truth. The README's table.
// Sparse data (8 and 12 compositions per file), 200 data sets a row, or as many as the first
// argument says.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <vector>

#include "assessment/assessment_report.h"
#include "equilibrium/stable_diagram.h"
#include "uncertainty/calibration.h"

namespace {

struct Truth {
    const char* name;
    PhaseParameters model[3];
};

// Three models of our own: the calibration's, the tests' generated one, and one with a lower
// eutectic and a wider solvus.
const Truth TRUTHS[] = {
    {"A", {{-13500.0, 2.4, 3800.0, -1.5}, {12600.0, -1.8, -4400.0, 2.2}, {14800.0, -2.6, 5300.0, -1.9}}},
    {"B", {{-12385.5, 3.125, 4417.25, -1.875}, {11210.75, -2.25, -3980.5, 2.625}, {13870.25, -3.375, 5123.5, -2.5}}},
    {"C", {{-15000.0, 3.0, 3000.0, -1.0}, {15000.0, -2.0, -3000.0, 1.5}, {17000.0, -3.0, 4000.0, -1.5}}},
};

constexpr double ARREST_SD = 3.0;
constexpr double COMPOSITION_SD = 0.005;
constexpr double EUTECTIC_SD = 2.0;

// m boundary points of the true diagram, scattered: three in five liquidus arrests across both
// liquid pairs, the rest solvus compositions of both solids below the eutectic, and two eutectic
// arrests.
std::vector<BoundaryPoint> simulatePoints(StableDiagram& truth, int m, std::mt19937_64& random)
{
    std::normal_distribution<double> normal(0, 1);
    std::vector<BoundaryPoint> points;
    const int arrests = 3 * m / 5;
    const int solvus = m - arrests - 2;
    for (int i = 0; i < arrests; ++i) {
        const double x = 0.04 + 0.92 * (i + 0.5) / arrests;
        const PhasePair pair = x < truth.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
        double T = 0;
        TieLine tie{};
        double range[2];
        if (boundaryTemperature(truth, pair, 0, x, NAN, T, tie, range) == Reach::FOUND)
            points.push_back({i + 1, T + ARREST_SD * normal(random), true, x, pair, 0});
    }
    for (int i = 0; i < solvus; ++i) {
        const double T = truth.eutectic[0] - 40 - 300.0 * (i / 2) / std::max(1, solvus / 2);
        TieLine tie{};
        if (stableTieLine(truth, BCC_FCC, T, nullptr, tie))
            points.push_back({100 + i, T, true, tie.x[i % 2] + COMPOSITION_SD * normal(random), BCC_FCC, i % 2});
    }
    for (int i = 0; i < 2; ++i) points.push_back({200 + i, truth.eutectic[0] + EUTECTIC_SD * normal(random), false, NAN, 0, 0});
    return points;
}

}  // namespace

int main(int argc, char** argv)
{
    std::printf("| model | compositions per file | boundary points | data sets | eutectic T rms, straight-line / "
                "assessed (K) | liquidus rms at 3 alloys, straight-line / assessed (K) | eutectic 95 %% coverage |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    const int SETS = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    for (const Truth& t : TRUTHS) {
        StableDiagram truth;
        buildStableDiagram(t.model, truth);
        if (!truth.haveEutectic) return 1;
        const double alloys[3] = {0.5 * truth.eutectic[1], 0.8 * truth.eutectic[1], 0.5 * (1 + truth.eutectic[1])};
        double trueLiquidus[3];
        for (int k = 0; k < 3; ++k) {
            TieLine tie{};
            double range[2];
            const PhasePair pair = alloys[k] < truth.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
            if (boundaryTemperature(truth, pair, 0, alloys[k], NAN, trueLiquidus[k], tie, range) != Reach::FOUND) return 1;
        }
        for (const int n : {8, 12})
            for (const int m : {0, 20, 60}) {
                std::mt19937_64 random(1000 * n + m);
                GaussianSource gauss{random};
                double squares[2][2] = {};  // [straight-line, assessed][eutectic, liquidus]
                int covered = 0;
                int counted = 0;
                for (int set = 0; set < SETS; ++set) {
                    MeasuredData data;
                    simulateMeasurements(t.model, n, 60, 0.004, gauss, data);
                    const std::vector<BoundaryPoint> points = m > 0 ? simulatePoints(truth, m, random) : std::vector<BoundaryPoint>{};
                    FitSamples samples;
                    ErrorText error{};
                    Assessment a;
                    if (!prepareFits(data, GivenScatter{}, samples, error) ||
                        !assessModel(samples, points, BoundaryScatter{ARREST_SD, COMPOSITION_SD, EUTECTIC_SD}, a, error))
                        continue;
                    const JointFit* fits[2] = {&a.before, &a.after};
                    bool usable = true;
                    double errors[2][4];
                    for (int f = 0; f < 2 && usable; ++f) {
                        StableDiagram d;
                        buildStableDiagram(fits[f]->model, d);
                        usable = d.haveEutectic;
                        if (!usable) break;
                        errors[f][0] = d.eutectic[0] - truth.eutectic[0];
                        for (int k = 0; k < 3 && usable; ++k) {
                            TieLine tie{};
                            double range[2];
                            double T = 0;
                            const PhasePair pair = alloys[k] < truth.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
                            usable = boundaryTemperature(d, pair, 0, alloys[k], trueLiquidus[k], T, tie, range) == Reach::FOUND;
                            errors[f][1 + k] = T - trueLiquidus[k];
                        }
                    }
                    if (!usable) continue;
                    ++counted;
                    for (int f = 0; f < 2; ++f) {
                        squares[f][0] += errors[f][0] * errors[f][0];
                        for (int k = 1; k < 4; ++k) squares[f][1] += errors[f][k] * errors[f][k] / 3;
                    }
                    double low = 0;
                    double high = 0;
                    covered += eutecticInterval(a, low, high) && truth.eutectic[0] >= low && truth.eutectic[0] <= high;
                }
                const double c = counted > 0 ? counted : 1;
                std::printf("| %s | %d | %d | %d | %.2f / %.2f | %.2f / %.2f | %.0f %% |\n", t.name, n, m, counted,
                            std::sqrt(squares[0][0] / c), std::sqrt(squares[1][0] / c), std::sqrt(squares[0][1] / c),
                            std::sqrt(squares[1][1] / c), 100.0 * covered / c);
            }
    }
    return 0;
}
