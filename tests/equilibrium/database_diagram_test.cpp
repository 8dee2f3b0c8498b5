// The stable diagram of a database's system: the lead-tin example's melting points, eutectic,
// tie-lines and liquidus as an independent CALPHAD calculation gives them, its dilute ends
// against the potentials of the phases in mole fractions, and the project's own database read
// back as the built-in model's diagram.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "equilibrium/stable_diagram.h"
#include "formats/tdb_export.h"
#include "formats/tdb_system.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

struct DatabaseDiagram {
    TdbDatabase database;
    TdbSystem system;
    TdbRange range;
    TdbModel model;
    StableDiagram diagram;
};

void buildFrom(const fs::path& path, const std::vector<std::string>& phases, double gasConstant, DatabaseDiagram& d)
{
    ErrorText error{};
    ASSERT_TRUE(readTdb(path.c_str(), d.database, error)) << error.text;
    ASSERT_TRUE(chooseTdbSystem(d.database, phases, d.system, error)) << error.text;
    ASSERT_TRUE(tdbTemperatureRange(d.database, d.system, d.range, error)) << error.text;
    d.model = {&d.database, &d.system, gasConstant};
    buildStableDiagram(tdbCurveSource(d.model, d.range), d.diagram);
}

const fs::path LEAD_TIN = fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb";

// The chemical potentials of lead and tin in a phase at a mole fraction of tin, from G and dG/dx.
std::pair<double, double> potentialsAt(const DatabaseDiagram& d, int phase, double x, double T)
{
    double G = 0;
    double slope = 0;
    ErrorText error{};
    EXPECT_TRUE(tdbGibbsEnergy(d.database, d.system.phases[phase], x, T, G, slope, error)) << error.text;
    return {G - x * slope, G + (1 - x) * slope};
}

}  // namespace

// The goals of an independent calculation with the gas constant 8.31451, to the digits it gives.
TEST(DatabaseDiagram, LeadTinIsTheIndependentCalculationsDiagram)
{
    DatabaseDiagram d;
    buildFrom(LEAD_TIN, {}, TDB_GAS_CONSTANT, d);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.range.lowest, 298.15);
    EXPECT_EQ(d.range.highest, 3000.0);
    const StableDiagram& diagram = d.diagram;
    ASSERT_TRUE(diagram.melting[0].exists);
    ASSERT_TRUE(diagram.melting[1].exists);
    EXPECT_NEAR(diagram.melting[0].T, 600.650, 5e-4);
    EXPECT_EQ(diagram.melting[0].solid, BCC);  // FCC_A1, the first solid
    EXPECT_NEAR(diagram.melting[1].T, 505.060, 5e-4);
    EXPECT_EQ(diagram.melting[1].solid, FCC);  // BCT_A5
    ASSERT_TRUE(diagram.haveEutectic);
    EXPECT_NEAR(diagram.eutectic[0], 454.5620, 5e-5);
    EXPECT_NEAR(diagram.eutectic[1], 0.7373324, 5e-8);
    EXPECT_NEAR(diagram.eutectic[2], 0.2632148, 5e-8);
    EXPECT_NEAR(diagram.eutectic[3], 0.9755197, 5e-8);

    // Pairs by PhasePair: LIQUID_FCC is the liquid with BCT_A5, LIQUID_BCC with FCC_A1.
    TieLine line{};
    ASSERT_TRUE(stableTieLine(diagram, BCC_FCC, 400, nullptr, line));
    EXPECT_NEAR(line.x[0], 0.1530714, 5e-8);
    EXPECT_NEAR(line.x[1], 0.9867655, 5e-8);
    ASSERT_TRUE(stableTieLine(diagram, LIQUID_BCC, 500, nullptr, line));
    EXPECT_NEAR(line.x[0], 0.5589514, 5e-8);
    EXPECT_NEAR(line.x[1], 0.206977, 5e-7);
    ASSERT_TRUE(stableTieLine(diagram, LIQUID_FCC, 500, nullptr, line));
    EXPECT_NEAR(line.x[0], 0.979113, 5e-7);
    // The calculation gives 0.9963329; these functions' potentials are equal at 0.9963326.
    EXPECT_NEAR(line.x[1], 0.9963326, 5e-8);

    StableDiagram& traced = d.diagram;
    double T = 0;
    double range[2] = {0, 0};
    ASSERT_EQ(boundaryTemperature(traced, LIQUID_BCC, 0, 0.3, NAN, T, line, range), Reach::FOUND);
    EXPECT_NEAR(T, 542.5055, 5e-5);
}

// Below the eutectic the solids' tie-lines put the potentials of both elements equal, computed in
// mole fractions from G and dG/dx, and lead's solubility in tin falls with the temperature.
TEST(DatabaseDiagram, LeadTinDiluteSolvusesBalanceThePotentials)
{
    DatabaseDiagram d;
    buildFrom(LEAD_TIN, {}, TDB_GAS_CONSTANT, d);
    if (HasFatalFailure()) return;
    double previousLead = 1;
    for (const double T : {450.0, 400.0, 350.0, 300.0}) {
        TieLine line{};
        ASSERT_TRUE(stableTieLine(d.diagram, BCC_FCC, T, nullptr, line)) << T;
        const double leadInTin = composition(-line.s[1]).x;  // 1 - x without the rounding of 1 - x
        EXPECT_LT(leadInTin, previousLead) << T;
        previousLead = leadInTin;
        const auto [fccPb, fccSn] = potentialsAt(d, 1, line.x[0], T);
        const auto [bctPb, bctSn] = potentialsAt(d, 2, line.x[1], T);
        // d(mu)/dx of lead near pure tin is R T / (1 - x): 1e-3 J/mol is 3e-7 of x at 1e-4.
        EXPECT_NEAR(fccPb, bctPb, 1e-3) << T;
        EXPECT_NEAR(fccSn, bctSn, 1e-3) << T;
    }
}

// Two solids that hardly mix (L0 = 60 kJ/mol): below the eutectic each dissolves the other's
// element at 1e-6 down to 1e-14. Henry's law with its corrections, iterated to a fixed point, gives the solvus
// independently: muB in the A-rich solid, G_B + R T ln x + L0 (1 - x)^2, equals muB in the
// B-rich one, G_B' + R T ln(1 - y) + L0 y^2, and the same for A.
TEST(DatabaseDiagram, SolidsThatHardlyMixMeetAtHenrysLaw)
{
    const fs::path dir = makeScratchDir();
    writeFile(dir / "dilute.tdb",
              "ELEMENT VA VACUUM 0 0 0 !\nELEMENT A FCC_A1 10 0 0 !\nELEMENT B BCC_A2 20 0 0 !\n"
              "PHASE LIQUID:L % 1 1 !\nCONSTITUENT LIQUID :A,B: !\n"
              "PARAMETER G(LIQUID,A;0) 200 10000-10*T; 3000 N !\nPARAMETER G(LIQUID,B;0) 200 12000-10*T; 3000 N !\n"
              "PHASE FCC_A1 % 1 1 !\nCONSTITUENT FCC_A1 :A,B: !\n"
              "PARAMETER G(FCC_A1,A;0) 200 0; 3000 N !\nPARAMETER G(FCC_A1,B;0) 200 2000; 3000 N !\n"
              "PARAMETER G(FCC_A1,A,B;0) 200 60000; 3000 N !\n"
              "PHASE BCC_A2 % 1 1 !\nCONSTITUENT BCC_A2 :A,B: !\n"
              "PARAMETER G(BCC_A2,A;0) 200 3000; 3000 N !\nPARAMETER G(BCC_A2,B;0) 200 0; 3000 N !\n"
              "PARAMETER G(BCC_A2,A,B;0) 200 60000; 3000 N !\n");
    DatabaseDiagram d;
    buildFrom(dir / "dilute.tdb", {}, TDB_GAS_CONSTANT, d);
    if (HasFatalFailure()) return;
    constexpr double L0 = 60000;
    for (const double T : {600.0, 400.0, 250.0}) {
        const double RT = TDB_GAS_CONSTANT * T;
        double x = 0;  // B in FCC_A1
        double y = 0;  // A in BCC_A2
        for (int i = 0; i < 50; ++i) {
            const double xNext = std::exp((0 - 2000 + RT * std::log1p(-y) + L0 * y * y - L0 * (1 - x) * (1 - x)) / RT);
            const double yNext = std::exp((0 - 3000 + RT * std::log1p(-x) + L0 * x * x - L0 * (1 - y) * (1 - y)) / RT);
            x = xNext;
            y = yNext;
        }
        TieLine line{};
        ASSERT_TRUE(stableTieLine(d.diagram, BCC_FCC, T, nullptr, line)) << T;  // FCC_A1 first, BCC_A2 second
        EXPECT_NEAR(line.x[0], x, 1e-9 * x) << T;
        EXPECT_NEAR(composition(-line.s[1]).x, y, 1e-9 * y) << T;
        if (T == 250.0) {
            EXPECT_LT(x, 1e-12);
        }
    }
}

// The project's database of the built-in model, read with the built-in gas constant: x counts Ps,
// the first solid is FCC_A1 (the file's order, whatever order --phases names them in), and the
// diagram is the built-in one mirrored in x with the solids' places swapped, to 1e-9.
TEST(DatabaseDiagram, TheProjectsOwnDatabaseGivesTheBuiltInDiagram)
{
    const fs::path dir = makeScratchDir();
    TextBuffer text;
    text.length = 0;
    formatDatabase(GENERATED_MODEL, text);
    writeFile(dir / "KsPs.tdb", std::string(text.data, text.length));
    DatabaseDiagram d;
    buildFrom(dir / "KsPs.tdb", {"LIQUID", "BCC_A2", "FCC_A1"}, GAS_CONSTANT, d);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.system.phases[1].name, "FCC_A1");
    const StableDiagram& built = generatedDiagram();
    ASSERT_TRUE(d.diagram.haveEutectic);
    ASSERT_TRUE(built.haveEutectic);
    EXPECT_NEAR(d.diagram.eutectic[0], built.eutectic[0], 1e-9 * built.eutectic[0]);
    const int builtColumn[4] = {0, 1, 3, 2};  // the database's liquid, FCC_A1, BCC_A2
    for (int k = 1; k < 4; ++k) EXPECT_NEAR(d.diagram.eutectic[k], 1 - built.eutectic[builtColumn[k]], 1e-9) << k;
    for (int end = 0; end < 2; ++end) {
        EXPECT_EQ(d.diagram.melting[end].exists, built.melting[1 - end].exists);
        EXPECT_NEAR(d.diagram.melting[end].T, built.melting[1 - end].T, 1e-9 * built.melting[1 - end].T);
    }
    // The database's pairs and the built-in ones they are, with the sides of the solids' pair swapped.
    const PhasePair builtPair[4] = {BCC_FCC, LIQUID_BCC, LIQUID_FCC, BCC_FCC};
    for (int t = 1; t <= 3; ++t) {
        const auto pair = static_cast<PhasePair>(t);
        const bool swapped = pair == BCC_FCC;
        for (const double T : {500.0, 800.0, 1100.0}) {
            TieLine mine[4];
            TieLine theirs[4];
            const int n = stableTieLines(d.diagram, pair, T, mine, 4);
            ASSERT_EQ(n, stableTieLines(built, builtPair[t], T, theirs, 4)) << t << " " << T;
            for (int i = 0; i < n; ++i) {
                // Mirrored in x: the database's first tie-line in its first phase's composition is
                // the built-in's last (or, with the sides swapped, its first).
                const TieLine& other = theirs[swapped ? i : n - 1 - i];
                for (int side = 0; side < 2; ++side)
                    EXPECT_NEAR(mine[i].x[side], 1 - other.x[swapped ? 1 - side : side], 1e-9) << t << " " << T;
            }
        }
    }
}

namespace {

// A point of the lower hull of the phases' curves sampled on a fine grid: the mole fraction and
// the phase lowest there.
struct HullPoint {
    double x;
    int phase;
};

// The lower convex hull of min over the phases of G at x = k / n, k = 1 .. n - 1, by Andrew's
// monotone chain; an independent picture of the stable states at T, good to about 1 / n in x.
std::vector<HullPoint> bruteForceHull(const DatabaseDiagram& d, double T, int n)
{
    PhaseCurve curves[3];
    ErrorText error{};
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(tdbPhaseCurve(d.database, d.system.phases[p], T, curves[p], error)) << error.text;
    std::vector<std::pair<double, double>> hull;
    std::vector<int> phases;
    for (int k = 1; k < n; ++k) {
        const double x = static_cast<double>(k) / n;
        double best = INFINITY;
        int phase = 0;
        for (int p = 0; p < 3; ++p) {
            double G = 0;
            double slope = 0;
            curveGibbsEnergy(curves[p], x, T, G, slope);
            if (G < best) {
                best = G;
                phase = p;
            }
        }
        while (hull.size() >= 2) {
            const auto& a = hull[hull.size() - 2];
            const auto& b = hull.back();
            if ((b.first - a.first) * (best - a.second) - (b.second - a.second) * (x - a.first) > 0) break;
            hull.pop_back();
            phases.pop_back();
        }
        hull.push_back({x, best});
        phases.push_back(phase);
    }
    std::vector<HullPoint> points;
    for (std::size_t i = 0; i < hull.size(); ++i) points.push_back({hull[i].first, phases[i]});
    return points;
}

}  // namespace

// Twelve simple eutectic systems of regular solutions drawn at random (melting points 400 to
// 1400 K, entropies of melting 7 to 12 J/(mol K), solid interactions 12 to 40 kJ/mol, liquid ones
// -8 to 8 kJ/mol, lattice stabilities 2 to 8 kJ/mol), written as databases: at temperatures
// across each diagram, every two-phase stretch of a brute-force hull on 20,000 points has a
// stable tie-line of its pair within two grid steps, and every stable tie-line the diagram gives
// away from the ends is such a stretch; at the eutectic the three potentials agree in mole
// fractions, and just above and below it the brute-force hull has and lacks the liquid between
// the solids.
TEST(DatabaseDiagram, RandomEutecticSystemsAgreeWithABruteForceHull)
{
    const fs::path dir = makeScratchDir();
    std::mt19937 random(20261208);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    constexpr int N = 20000;
    int eutectics = 0;
    int compared = 0;
    for (int s = 0; s < 12; ++s) {
        const double meltA = uniform(400, 1400);
        const double meltB = uniform(400, 1400);
        const double entropyA = uniform(7, 12);
        const double entropyB = uniform(7, 12);
        char text[2048];
        std::snprintf(text, sizeof text,
                      "ELEMENT VA VACUUM 0 0 0 !\nELEMENT A FCC_A1 50 0 0 !\nELEMENT B BCC_A2 80 0 0 !\n"
                      "PHASE LIQUID:L %% 1 1 !\nCONSTITUENT LIQUID :A,B: !\n"
                      "PARAMETER G(LIQUID,A;0) 200 %.6f-%.6f*T; 3000 N !\nPARAMETER G(LIQUID,B;0) 200 %.6f-%.6f*T; 3000 N !\n"
                      "PARAMETER G(LIQUID,A,B;0) 200 %.3f; 3000 N !\n"
                      "PHASE FCC_A1 %% 1 1 !\nCONSTITUENT FCC_A1 :A,B: !\n"
                      "PARAMETER G(FCC_A1,A;0) 200 0; 3000 N !\nPARAMETER G(FCC_A1,B;0) 200 %.3f; 3000 N !\n"
                      "PARAMETER G(FCC_A1,A,B;0) 200 %.3f; 3000 N !\n"
                      "PHASE BCC_A2 %% 1 1 !\nCONSTITUENT BCC_A2 :A,B: !\n"
                      "PARAMETER G(BCC_A2,A;0) 200 %.3f; 3000 N !\nPARAMETER G(BCC_A2,B;0) 200 0; 3000 N !\n"
                      "PARAMETER G(BCC_A2,A,B;0) 200 %.3f; 3000 N !\n",
                      meltA * entropyA, entropyA, meltB * entropyB, entropyB, uniform(-8000, 8000), uniform(2000, 8000),
                      uniform(12000, 40000), uniform(2000, 8000), uniform(12000, 40000));
        const fs::path path = dir / ("random" + std::to_string(s) + ".tdb");
        writeFile(path, text);
        DatabaseDiagram d;
        buildFrom(path, {}, TDB_GAS_CONSTANT, d);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(d.diagram.melting[0].exists && d.diagram.melting[1].exists) << s;
        EXPECT_NEAR(d.diagram.melting[0].T, meltA, 1e-6 * meltA) << s;
        EXPECT_NEAR(d.diagram.melting[1].T, meltB, 1e-6 * meltB) << s;
        const double top = std::fmax(meltA, meltB);
        const double bottom = d.diagram.haveEutectic ? d.diagram.eutectic[0] : 250;
        for (int k = 0; k < 10; ++k) {
            const double T = bottom - 40 + k * (top - bottom + 40) / 10 + 0.37;
            if (T < 200) continue;
            const std::vector<HullPoint> hull = bruteForceHull(d, T, N);
            std::vector<std::pair<PhasePair, std::pair<double, double>>> stretches;
            for (std::size_t i = 1; i < hull.size(); ++i) {
                const int a = hull[i - 1].phase;
                const int b = hull[i].phase;
                if (a == b) continue;
                const int first = std::min(a, b) == LIQUID ? LIQUID : BCC;
                const int second = a + b - first;
                const PhasePair pair = first == LIQUID ? (second == BCC ? LIQUID_BCC : LIQUID_FCC) : BCC_FCC;
                const double xFirst = a == first ? hull[i - 1].x : hull[i].x;
                const double xSecond = a == first ? hull[i].x : hull[i - 1].x;
                stretches.push_back({pair, {xFirst, xSecond}});
            }
            for (const auto& [pair, x] : stretches) {
                if (std::fmin(x.first, x.second) < 3.0 / N || std::fmax(x.first, x.second) > 1 - 3.0 / N) continue;
                TieLine lines[4];
                const int n = stableTieLines(d.diagram, pair, T, lines, 4);
                bool near = false;
                for (int i = 0; i < n; ++i)
                    near = near || (std::fabs(lines[i].x[0] - x.first) <= 2.0 / N && std::fabs(lines[i].x[1] - x.second) <= 2.0 / N);
                ++compared;
                EXPECT_TRUE(near) << "system " << s << " T " << T << " pair " << pair << " at " << x.first << " "
                                  << x.second << " (" << n << " found)";
            }
            for (int t = 1; t <= 3; ++t) {
                TieLine lines[4];
                const int n = stableTieLines(d.diagram, static_cast<PhasePair>(t), T, lines, 4);
                for (int i = 0; i < n; ++i) {
                    if (std::fmin(lines[i].x[0], lines[i].x[1]) < 3.0 / N || std::fmax(lines[i].x[0], lines[i].x[1]) > 1 - 3.0 / N)
                        continue;
                    bool seen = false;
                    for (const auto& [pair, x] : stretches)
                        seen = seen || (pair == t && std::fabs(lines[i].x[0] - x.first) <= 2.0 / N &&
                                        std::fabs(lines[i].x[1] - x.second) <= 2.0 / N);
                    EXPECT_TRUE(seen) << "system " << s << " T " << T << " pair " << t << " at " << lines[i].x[0] << " "
                                      << lines[i].x[1];
                }
            }
        }
        if (!d.diagram.haveEutectic) continue;
        ++eutectics;
        const Vector4& e = d.diagram.eutectic;
        double mu[3][2];
        for (int p = 0; p < 3; ++p) {
            double G = 0;
            double slope = 0;
            ErrorText error{};
            ASSERT_TRUE(tdbGibbsEnergy(d.database, d.system.phases[p], e[1 + p], e[0], G, slope, error));
            mu[p][0] = G - e[1 + p] * slope;
            mu[p][1] = G + (1 - e[1 + p]) * slope;
        }
        for (int p = 1; p < 3; ++p)
            for (int c = 0; c < 2; ++c) EXPECT_NEAR(mu[p][c], mu[0][c], 1e-6 * TDB_GAS_CONSTANT * e[0] / std::fmin(e[1 + p], 1 - e[1 + p])) << s;
        for (const double dT : {0.05, -0.05}) {
            bool liquidBetween = false;
            const std::vector<HullPoint> hull = bruteForceHull(d, e[0] + dT, N);
            for (std::size_t i = 1; i + 1 < hull.size(); ++i)
                liquidBetween = liquidBetween || (hull[i].phase == LIQUID && hull[0].phase != LIQUID && hull.back().phase != LIQUID);
            EXPECT_EQ(liquidBetween, dT > 0) << s << " " << dT;
        }
    }
    EXPECT_GE(eutectics, 8);
    EXPECT_GE(compared, 100);
}
