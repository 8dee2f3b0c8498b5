// Exact model data for round-trip tests of the fitting.
#include "model_data.h"

#include <cmath>
#include <cstdio>
#include <fstream>

void generateData(const PhaseParameters (&model)[3], MeasuredData& data)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const double T = p == LIQUID ? 1500.0 : 1100.0;
        const double RT = GAS_CONSTANT * T;
        const InteractionCoefficients c = interactionCoefficients(model[p], T);
        PhaseData& phase = data.phase[p];
        phase.enthalpy.count = phase.activity.count = 9;
        for (int i = 0; i < 9; ++i) {
            const double x = (i + 1) / 10.0;
            const double mixing = x * (1 - x) * (model[p].a0 + model[p].b0 * x);
            phase.enthalpy.x[i] = phase.activity.x[i] = x;
            if (p == LIQUID) {
                phase.enthalpy.value[i] = mixing;
                phase.activity.value[i] = x * std::exp(muBExcess(x, c) / RT);
            } else if (p == BCC) {  // activity of A, referred to pure A as FCC
                phase.enthalpy.value[i] = mixing + (1 - x) * PURE_A_BCC_OVER_FCC;
                phase.activity.value[i] = (1 - x) * std::exp((muAExcess(x, c) + PURE_A_BCC_OVER_FCC) / RT);
            } else {  // activity of B, referred to pure B as BCC
                phase.enthalpy.value[i] = mixing + x * PURE_B_FCC_OVER_BCC;
                phase.activity.value[i] = x * std::exp((muBExcess(x, c) + PURE_B_FCC_OVER_BCC) / RT);
            }
        }
    }
}

void writeDataFiles(const MeasuredData& data, const std::filesystem::path& dir)
{
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        const DataSeries* series[] = {&data.phase[p].enthalpy, &data.phase[p].activity};
        const char* names[] = {enthalpyFileName(phase), activityFileName(phase)};
        for (int f = 0; f < 2; ++f) {
            std::ofstream out(dir / names[f]);
            char line[80];
            for (int i = 0; i < series[f]->count; ++i) {
                std::snprintf(line, sizeof line, "%.17g\t%.17g\n", series[f]->x[i], series[f]->value[i]);
                out << line;
            }
        }
    }
}

StableDiagram& generatedDiagram()
{
    static StableDiagram diagram = [] {
        StableDiagram built;
        buildStableDiagram(GENERATED_MODEL, built);
        return built;
    }();
    return diagram;
}

bool readExampleData(MeasuredData& data)
{
    ErrorText error{};
    const std::filesystem::path dir = EXAMPLE_DATA_DIR;
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        if (!readDataSeries((dir / enthalpyFileName(phase)).c_str(), data.phase[p].enthalpy, error) ||
            !readDataSeries((dir / activityFileName(phase)).c_str(), data.phase[p].activity, error))
            return false;
    }
    return true;
}

std::vector<BoundaryPoint> pointsOf(const PhaseParameters (&model)[3], double dT, double dx)
{
    StableDiagram d;
    buildStableDiagram(model, d);
    std::vector<BoundaryPoint> points;
    int line = 1;
    for (const double x : {0.2, 0.3, 0.4, 0.65, 0.75, 0.85}) {
        const PhasePair pair = x < 0.5 ? LIQUID_FCC : LIQUID_BCC;
        double T = 0;
        TieLine tie{};
        double range[2];
        if (boundaryTemperature(d, pair, 0, x, NAN, T, tie, range) == Reach::FOUND)
            points.push_back({line++, T + dT, true, x, pair, 0});
    }
    for (const double T : {600.0, 700.0}) {
        TieLine tie{};
        if (stableTieLine(d, BCC_FCC, T, nullptr, tie)) {
            points.push_back({line++, T, true, tie.x[0] + dx, BCC_FCC, 0});
            points.push_back({line++, T, true, tie.x[1] + dx, BCC_FCC, 1});
        }
    }
    points.push_back({line++, d.eutectic[0] + dT, false, NAN, 0, 0});
    return points;
}

void scatteredData(std::mt19937_64& random, std::normal_distribution<double>& normal, MeasuredData& data)
{
    generateData(GENERATED_MODEL, data);
    for (auto& phase : data.phase)
        for (int i = 0; i < phase.activity.count; ++i) {
            phase.enthalpy.value[i] += 60 * normal(random);
            phase.activity.value[i] *= std::exp(0.03 * normal(random));
        }
}
