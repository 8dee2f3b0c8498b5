// Benchmarks of the kernels and stages that a run spends its time in: the inversion at both
// sizes, a converged two-phase solve, a whole sweep with its rows formatted, the eutectic, and
// the fitting of the example data.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/phase_tables.h"
#include "assessment/assessed_picture.h"
#include "assessment/assessment_report.h"
#include "formats/result_tables.h"
#include "equilibrium/binary_diagram.h"
#include "formats/tdb_binary.h"
#include "formats/tdb_system.h"
#include "formats/tdb_export.h"
#include "formats/text_buffer.h"
#include "model/fitting.h"
#include "formats/data_files.h"
#include "numeric/matrix.h"
#include "equilibrium/newton.h"
#include "comparison/residuals.h"
#include "solidification/alloy_path.h"
#include "solidification/solidification.h"
#include "uncertainty/analysis.h"

namespace {

MeasuredData exampleData()
{
    MeasuredData data{};
    ErrorText error{};
    const std::string dir = EXAMPLE_DATA_DIR "/";
    for (int p = LIQUID; p <= FCC; ++p) {
        const auto phase = static_cast<PhaseIndex>(p);
        if (!readDataSeries((dir + enthalpyFileName(phase)).c_str(), data.phase[p].enthalpy, error) ||
            !readDataSeries((dir + activityFileName(phase)).c_str(), data.phase[p].activity, error))
            std::abort();
    }
    return data;
}

struct Model {
    PhaseParameters liquid, bcc, fcc;
};

Model exampleModel()
{
    Model model{};
    PhaseFit fits[3];
    fitModel(exampleData(), model.liquid, model.bcc, model.fcc, fits);
    return model;
}

void invert(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Matrix4 jacobian = {4.17, -1.25, 0.385, 2.9, 0.72, 3.31, -2.05, 0.11,
                              -1.6, 0.93, 5.02, -0.47, 2.385, -0.66, 1.18, 3.77};
    Matrix4 inverse{};
    for (auto _ : state) {
        Matrix4 a = jacobian;
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(invertMatrix(a, inverse, n));
        benchmark::DoNotOptimize(inverse);
    }
}
BENCHMARK(invert)->Arg(2)->Arg(4)->Name("invertMatrix");

// A boundary point solved from the previous temperature's solution, as a sweep solves it.
void solveTwoPhaseFromContinuation(benchmark::State& state)
{
    const Model model = exampleModel();
    std::srand(1);
    Vector4 guess = {0.5, 0.9, 0, 0};
    Vector4 result{};
    solveTwoPhase(800, guess, result, 2, model.liquid, model.bcc, LIQUID_BCC);
    const Vector4 previous = {result[0], result[1], 0, 0};
    solveTwoPhase(801, guess = previous, result, 2, model.liquid, model.bcc, LIQUID_BCC);
    const Vector4 start = {result[0], result[1], 0, 0};
    for (auto _ : state) {
        guess = start;
        benchmark::DoNotOptimize(solveTwoPhase(802, guess, result, 2, model.liquid, model.bcc, LIQUID_BCC));
    }
}
BENCHMARK(solveTwoPhaseFromContinuation)->Name("solveTwoPhase/continuation");

// The same solve with its table row formatted: the cost of one converged row of a sweep.
void convergedRow(benchmark::State& state)
{
    const Model model = exampleModel();
    std::srand(1);
    Vector4 guess = {0.5, 0.9, 0, 0};
    Vector4 result{};
    solveTwoPhase(801, guess, result, 2, model.liquid, model.bcc, LIQUID_BCC);
    const Vector4 start = {result[0], result[1], 0, 0};
    TextBuffer text;
    for (auto _ : state) {
        guess = start;
        text.length = 0;
        const int count = solveTwoPhase(802, guess, result, 2, model.liquid, model.bcc, LIQUID_BCC);
        appendSweepRow(text, 802, result, count);
        benchmark::DoNotOptimize(text.data);
    }
}
BENCHMARK(convergedRow)->Name("sweepRow/converged");

// Liquid/FCC over 500 to 1499 K with every row formatted, as the table writer does it.
void sweep(benchmark::State& state)
{
    const Model model = exampleModel();
    TextBuffer text;
    std::int64_t rows = 0;
    for (auto _ : state) {
        std::srand(1767225600);
        Vector4 guess = {0.5, 0.9, 0, 0};
        Vector4 result{};
        text.length = 0;
        for (int T = 500; T < 1500; ++T) {
            const int count = solveTwoPhase(T, guess, result, 2, model.liquid, model.fcc, LIQUID_FCC);
            appendSweepRow(text, T, result, count);
            guess[0] = result[0];
            guess[1] = result[1];
            if (text.length > sizeof text.data - ROW_RESERVE) text.length = 0;
            ++rows;
        }
        benchmark::DoNotOptimize(text.data);
    }
    state.counters["rows"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweep)->Name("sweep/1000K")->Unit(benchmark::kMicrosecond);

void eutectic(benchmark::State& state)
{
    const Model model = exampleModel();
    Vector4 guess{};
    Vector4 result{};
    for (auto _ : state) benchmark::DoNotOptimize(solveEutectic(guess, result, 4, model.liquid, model.bcc, model.fcc));
}
BENCHMARK(eutectic)->Name("solveEutectic")->Unit(benchmark::kMicrosecond);

void fit(benchmark::State& state)
{
    const MeasuredData data = exampleData();
    PhaseParameters liquid{}, bcc{}, fcc{};
    PhaseFit fits[3];
    for (auto _ : state) {
        fitModel(data, liquid, bcc, fcc, fits);
        benchmark::DoNotOptimize(fits);
    }
}
BENCHMARK(fit)->Name("fitModel");

// The whole uncertainty analysis of the example: 2000 replicates of the fits and the eutectic, and
// the bands of the three boundaries every 10 K from 500 to 1600 K.
void uncertainty(benchmark::State& state)
{
    const MeasuredData data = exampleData();
    UncertaintyOptions options;
    options.initialT = 500;
    options.finalT = 1600;
    for (auto _ : state) {
        UncertaintyResult result;
        ErrorText error{};
        if (!analyseUncertainty(data, options, result, error, [](int) {})) std::abort();
        benchmark::DoNotOptimize(result.eutectic);
    }
}
BENCHMARK(uncertainty)->Name("uncertainty/2000")->Unit(benchmark::kMillisecond);

// One alloy's equilibrium and Scheil paths, 1600 to 780 K at 0.5 K steps, the stable diagram
// (its eutectic), the liquidus and the solidus solved from scratch.
void solidification(benchmark::State& state)
{
    const Model m = exampleModel();
    const PhaseParameters model[3] = {m.liquid, m.bcc, m.fcc};
    for (auto _ : state) {
        StableDiagram diagram;
        buildStableDiagram(model, diagram);
        SolidificationPath path;
        ErrorText error{};
        if (!solidify(diagram, 0.3, {1600, 780, 0.5}, nullptr, path, error)) std::abort();
        benchmark::DoNotOptimize(path.eutecticScheil);
    }
}
BENCHMARK(solidification)->Name("solidify/path")->Unit(benchmark::kMillisecond);

// 100 measured boundary points held against the model, its stable diagram built from scratch.
void residuals(benchmark::State& state)
{
    const Model m = exampleModel();
    const PhaseParameters model[3] = {m.liquid, m.bcc, m.fcc};
    std::vector<BoundaryPoint> points;
    for (int i = 0; i < 100; ++i) {
        const int kind = i % 4;
        if (kind == 0) points.push_back({i, 850.0 + 6 * i, true, 0.45 - 0.004 * i, LIQUID_FCC, 0});
        if (kind == 1) points.push_back({i, 850.0 + 4 * i, true, 0.6 + 0.003 * i, LIQUID_BCC, 0});
        if (kind == 2) points.push_back({i, 550.0 + 2.5 * i, true, 0.02 + 0.0004 * i, BCC_FCC, 1});
        if (kind == 3) points.push_back({i, 824.0, false, NAN, 0, 0});
    }
    const BandTable bands[3] = {};
    for (auto _ : state) {
        StableDiagram diagram;
        buildStableDiagram(model, diagram);
        std::vector<PointResidual> result;
        computeResiduals(diagram, points, bands, EutecticBand{}, result);
        benchmark::DoNotOptimize(result.data());
    }
}
BENCHMARK(residuals)->Name("residuals/100")->Unit(benchmark::kMillisecond);

}  // namespace

// The lead-tin database read, its system chosen, and the three phases' Gibbs energies with
// their slopes at 101 temperatures from 300 to 600 K and 99 compositions each: the database's
// functions evaluated once per phase and temperature, the compositions from those terms.
void database(benchmark::State& state)
{
    const std::string path = EXAMPLE_DATA_DIR "/../pb-sn/PbSn.tdb";
    for (auto _ : state) {
        TdbDatabase db;
        TdbSystem system;
        ErrorText error{};
        if (!readTdb(path.c_str(), db, error) || !chooseTdbSystem(db, {}, system, error)) state.SkipWithError(error.text);
        double sum = 0;
        for (int t = 0; t <= 100; ++t)
            for (const TdbSystemPhase& phase : system.phases) {
                PhaseCurve curve;
                tdbPhaseCurve(db, phase, 300 + 3 * t, curve, error);
                for (int k = 1; k < 100; ++k) {
                    double G = 0;
                    double slope = 0;
                    curveGibbsEnergy(curve, k / 100.0, 300 + 3 * t, G, slope);
                    sum += G;
                }
            }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(database)->Name("tdb/read-and-30000-energies")->Unit(benchmark::kMillisecond);

// The whole lead-tin diagram from its database, as phasediagram --tdb 299 700 computes it: read,
// the system chosen, its whole stable diagram from 299 K to 50 K above the higher melting point
// by the one engine, and every field's tie-line at every kelvin from 299 to 699 K.
void wholeDatabaseDiagram(benchmark::State& state)
{
    const std::string path = EXAMPLE_DATA_DIR "/../pb-sn/PbSn.tdb";
    for (auto _ : state) {
        LoadedBinary loaded;
        ErrorText error{};
        if (!loadBinary(path.c_str(), "", "", "", 8.31451, loaded, error)) state.SkipWithError(error.text);
        double melting = 0;
        BinaryDiagram diagram;
        if (!highestMeltingPoint(loaded.system, melting) ||
            !computeBinaryDiagram(loaded.system, 299, melting + 50, DIAGRAM_STEP, diagram))
            state.SkipWithError("the lead-tin diagram cannot be computed");
        SystemAt at;
        int rows = 0;
        for (const Field& field : diagram.fields)
            for (int T = 299; T < 700; ++T) {
                StableTieLine line;
                rows += fieldTieLineAt(loaded.system, at, field, T, line);
            }
        if (rows != 353) state.SkipWithError("the lead-tin diagram has other rows");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(wholeDatabaseDiagram)->Name("tdb/whole-lead-tin-diagram")->Unit(benchmark::kMillisecond);

// Sn-37Pb solidified on the lead-tin database: read, the whole diagram computed, both paths from
// 20 K above the liquidus to 20 K below the eutectic at 0.5 K steps.
void databaseSolidification(benchmark::State& state)
{
    const std::string path = EXAMPLE_DATA_DIR "/../pb-sn/PbSn.tdb";
    for (auto _ : state) {
        LoadedBinary loaded;
        ErrorText error{};
        double x0 = 0;
        double melting = 0;
        if (!loadBinary(path.c_str(), "", "", "", 8.31451, loaded, error) ||
            !moleFractionOfWeight(loaded.database, loaded.system.elements, 0.63, x0) ||
            !highestMeltingPoint(loaded.system, melting))
            state.SkipWithError(error.text);
        BinaryDiagram diagram;
        AlloyPath alloy;
        if (!computeBinaryDiagram(loaded.system, 300, melting + 50, DIAGRAM_STEP, diagram) ||
            !alloyTransitions(loaded.system, diagram, x0, alloy, error) ||
            !alloyPathRows(loaded.system, diagram, {476, 434, 0.5}, alloy, error))
            state.SkipWithError(error.text);
        benchmark::DoNotOptimize(alloy.scheil.finalFraction);
    }
}
BENCHMARK(databaseSolidification)->Name("tdb/solder-solidification")->Unit(benchmark::kMillisecond);

namespace {

// The example's data and 40 boundary points: its Boundaries.txt and, to make up the number,
// liquidus arrests of the fitted model 4 K off at further compositions.
void assessmentInput(FitSamples& samples, std::vector<BoundaryPoint>& points)
{
    ErrorText error{};
    bool present = false;
    if (!prepareFits(exampleData(), GivenScatter{}, samples, error) ||
        !readBoundaryPoints(EXAMPLE_DATA_DIR "/Boundaries.txt", points, present, error))
        std::abort();
    const Model m = exampleModel();
    const PhaseParameters model[3] = {m.liquid, m.bcc, m.fcc};
    StableDiagram d;
    buildStableDiagram(model, d);
    for (int i = 0; points.size() < 40; ++i) {
        const double x = 0.08 + 0.06 * i;
        const PhasePair pair = x < d.eutectic[1] ? LIQUID_FCC : LIQUID_BCC;
        double T = 0;
        TieLine tie{};
        double range[2];
        if (boundaryTemperature(d, pair, 0, x, NAN, T, tie, range) == Reach::FOUND)
            points.push_back({100 + i, T + 4, true, x, pair, 0});
    }
}

// The assessment of the example with 40 boundary points, from the straight-line fits to the
// converged coefficients, their covariance and the eutectic's interval.
void assessment(benchmark::State& state)
{
    FitSamples samples;
    std::vector<BoundaryPoint> points;
    assessmentInput(samples, points);
    for (auto _ : state) {
        Assessment a;
        ErrorText error{};
        if (!assessModel(samples, points, BoundaryScatter{}, a, error)) state.SkipWithError(error.text);
        double low = 0;
        double high = 0;
        eutecticInterval(a, low, high);
        benchmark::DoNotOptimize(high);
    }
}
BENCHMARK(assessment)->Name("assessment/example-40-points")->Unit(benchmark::kMillisecond);

// The whole of phasediagram-assess's work on the same input but reading and writing files: the
// assessment, its judgement (with refits where a point is far off), the report, the database and
// the picture with its bands.
void wholeAssessment(benchmark::State& state)
{
    FitSamples samples;
    std::vector<BoundaryPoint> points;
    assessmentInput(samples, points);
    for (auto _ : state) {
        Assessment a;
        ErrorText error{};
        if (!assessModel(samples, points, BoundaryScatter{}, a, error)) state.SkipWithError(error.text);
        const GoodnessOfFit goodness = judgeFit(samples, points, BoundaryScatter{}, a);
        const std::string report = formatAssessment(a, goodness, samples, points, BoundaryScatter{});
        TextBuffer database;
        database.length = 0;
        formatDatabase(a.after.model, database);
        const std::string picture = drawAssessment(a, points);
        benchmark::DoNotOptimize(report.size() + picture.size() + database.length);
    }
}
BENCHMARK(wholeAssessment)->Name("assessment/whole-program-40-points")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
