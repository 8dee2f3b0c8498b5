// The whole diagram of binary systems of published databases against independent calculations
// (OpenCalphad, gas constant 8.31451, each checked by a second solution), and a section at one
// temperature against a brute-force lower hull of the phases on a fine grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "equilibrium/binary_diagram.h"
#include "formats/tdb_binary.h"
#include "model/builtin_system.h"
#include "model/sublattice_energy.h"
#include "brute_hull.h"
#include "model_data.h"

namespace fs = std::filesystem;

namespace {

struct Loaded {
    TdbDatabase database;
    BinarySystem system;
    TdbParameterValues values;
};

// Reads a database, or says why the test cannot run.
bool load(const fs::path& path, Loaded& loaded, std::string& why, const std::string (&elements)[2] = {"", ""},
          const std::vector<std::string>& phases = {})
{
    if (!fs::exists(path)) {
        why = path.string() + " is not there";
        return false;
    }
    ErrorText error{};
    if (!readTdb(path.c_str(), loaded.database, error) ||
        !chooseBinarySystem(loaded.database, elements, phases, "", 8.31451, loaded.system, loaded.values, error)) {
        why = error.text;
        return false;
    }
    return true;
}

// A database of the test's own in a scratch folder, removed with it.
struct ScratchDatabase {
    fs::path dir;
    fs::path path;
    ScratchDatabase(const std::string& name, const std::string& text)
        : dir(fs::temp_directory_path() / ("binary-diagram-" + name)), path(dir / (name + ".tdb"))
    {
        fs::create_directories(dir);
        std::FILE* f = std::fopen(path.c_str(), "w");
        if (f != nullptr) {
            std::fputs(text.c_str(), f);
            std::fclose(f);
        }
    }
    ~ScratchDatabase() { fs::remove_all(dir); }
};

int phaseNamed(const BinarySystem& system, const std::string& name)
{
    for (std::size_t p = 0; p < system.phases.size(); ++p)
        if (system.phases[p].name == name) return static_cast<int>(p);
    return -1;
}

const Invariant* invariantNear(const BinaryDiagram& d, double T)
{
    for (const Invariant& i : d.invariants)
        if (std::fabs(i.T - T) < 0.01) return &i;
    return nullptr;
}

const SpecialPoint* pointNear(const BinaryDiagram& d, SpecialKind kind, double T, double tolerance)
{
    for (const SpecialPoint& p : d.points)
        if (p.kind == kind && std::fabs(p.T - T) < tolerance) return &p;
    return nullptr;
}

void expectInvariant(const BinaryDiagram& d, ReactionKind kind, double T, const double (&x)[3])
{
    const Invariant* i = invariantNear(d, T);
    ASSERT_NE(i, nullptr) << "no invariant near " << T << " K";
    EXPECT_EQ(i->kind, kind) << reactionName(i->kind);
    EXPECT_NEAR(i->T, T, 1e-3);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(i->x[k], x[k], 1e-5) << "phase " << k << " at " << T << " K";
}

}  // namespace

TEST(BinaryDiagram, SilverCopperHasTheEutecticOfOneSolidSolutionOnBothSidesOfItsGap)
{
    Loaded l;
    std::string why;
    if (!load(fs::path(PUBLISHED_DATABASES) / "AgCu.tdb", l, why)) GTEST_SKIP() << why;
    BinaryDiagram d;
    ASSERT_TRUE(computeBinaryDiagram(l.system, 300, 1408, 5, d)) << parameterError(l.values).text;
    EXPECT_EQ(d.unresolved, 0);
    ASSERT_EQ(d.invariants.size(), 1u);
    expectInvariant(d, ReactionKind::EUTECTIC, 1056.1245, {0.13006474, 0.41490741, 0.95418566});
    const int fcc = phaseNamed(l.system, "FCC_A1");
    EXPECT_EQ(d.invariants[0].state[0].phase, fcc);
    EXPECT_EQ(d.invariants[0].state[2].phase, fcc);
    // The melting points sit on a breakpoint of the elements' functions: within 1e-3 K.
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 1235.0800, 1e-3), nullptr);
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 1358.0200, 1e-3), nullptr);
}

TEST(BinaryDiagram, AluminiumMagnesiumFindsACompoundMeltingTwoThirdsOfAKelvinAboveItsEutectic)
{
    Loaded l;
    std::string why;
    if (!load(fs::path(PUBLISHED_DATABASES) / "AlMg.tdb", l, why)) GTEST_SKIP() << why;
    BinaryDiagram d;
    ASSERT_TRUE(computeBinaryDiagram(l.system, 300, 983.6, 5, d)) << parameterError(l.values).text;
    const SpecialPoint* beta = pointNear(d, SpecialKind::CONGRUENT, 725.79081, 1e-3);
    ASSERT_NE(beta, nullptr);
    EXPECT_NEAR(beta->x, 89.0 / 229.0, 1e-9);
    const Invariant* eutectic = invariantNear(d, 725.15426);
    ASSERT_NE(eutectic, nullptr);
    EXPECT_EQ(eutectic->kind, ReactionKind::EUTECTIC);
    EXPECT_NEAR(eutectic->T, 725.15426, 1e-3);
    EXPECT_NEAR(eutectic->x[0], 0.1661648, 1e-5);
    EXPECT_NEAR(eutectic->x[1], 0.36576063, 1e-5);
    expectInvariant(d, ReactionKind::EUTECTOID, 522.98208, {0.38864629, 0.43396226, 0.53605269});
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 933.6, 4e-4 + 1e-3), nullptr);
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 923.0, 4e-4 + 1e-3), nullptr);
}

TEST(BinaryDiagram, ChromiumIronHasItsGammaLoopAndTheMagneticTransitionsOfIron)
{
    Loaded l;
    std::string why;
    if (!load(fs::path(PUBLISHED_DATABASES) / "CrFe.tdb", l, why)) GTEST_SKIP() << why;
    BinaryDiagram d;
    ASSERT_TRUE(computeBinaryDiagram(l.system, 300, 2230, 5, d)) << parameterError(l.values).text;
    expectInvariant(d, ReactionKind::EUTECTOID, 784.83485, {0.15321765, 0.48598352, 0.80823761});
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 1810.9584, 1e-3), nullptr);
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 1184.8048, 1e-3), nullptr);
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 1667.4768, 1e-3), nullptr);
    EXPECT_NE(pointNear(d, SpecialKind::PURE, 2180.0, 0.01), nullptr);
    // The gamma loop closes in a minimum of the FCC field on the iron side.
    bool loop = false;
    for (const SpecialPoint& p : d.points)
        loop = loop || (p.kind == SpecialKind::CONGRUENT && p.x > 0.85 && p.T > 1100 && p.T < 1200);
    EXPECT_TRUE(loop);
}

// At one temperature every stable field against the lower convex hull of the phases' curves
// evaluated directly on 200001 compositions, the compounds as points: the project's
// magnesium-nickel example (two compounds, a magnetic solid). Each tie-line's ends lie within a
// grid step of the hull's vertices, and exactly at a compound.
TEST(BinaryDiagram, SectionAgreesWithTheBruteForceHullOfTheCurves)
{
    Loaded l;
    std::string why;
    ASSERT_TRUE(load(fs::path(EXAMPLE_DATA_DIR).parent_path() / "mg-ni" / "MgNi.tdb", l, why)) << why;
    for (const double T : {900.0, 1200.0, 1400.0}) {
        SystemSamples samples;
        sampleSystem(l.system, samples);
        SystemAt at;
        Section section;
        ASSERT_TRUE(computeSection(l.system, samples, at, T, section));
        const int N = 200001;
        const std::vector<std::pair<double, double>> gaps = bruteForceFields(l.system, at, N);
        ASSERT_EQ(gaps.size(), section.tieLines.size()) << "at " << T << " K";
        for (std::size_t k = 0; k < gaps.size(); ++k) {
            EXPECT_NEAR(section.tieLines[k].x[0], gaps[k].first, 2.0 / N) << T << " K";
            EXPECT_NEAR(section.tieLines[k].x[1], gaps[k].second, 2.0 / N) << T << " K";
        }
    }
}

// The project's magnesium-nickel example, written from the published values, against the same
// assessment as the whole COST 507 database holds it (its other phases of Mg and Ni nowhere
// stable): every reaction and point equal, and the diagram the literature reports (the Mg-Mg2Ni
// eutectic at 506 C, Mg2Ni's peritectic at 760 C, MgNi2 melting at 1147 C).
TEST(BinaryDiagram, TheMagnesiumNickelExampleIsTheCost507Assessment)
{
    Loaded example;
    Loaded cost;
    std::string why;
    ASSERT_TRUE(load(fs::path(EXAMPLE_DATA_DIR).parent_path() / "mg-ni" / "MgNi.tdb", example, why)) << why;
    if (!load(fs::path(PUBLISHED_DATABASES) / "cost507R.tdb", cost, why, {"MG", "NI"})) GTEST_SKIP() << why;
    BinaryDiagram d[2];
    ASSERT_TRUE(computeBinaryDiagram(example.system, 300, 1778, 5, d[0]));
    ASSERT_TRUE(computeBinaryDiagram(cost.system, 300, 1778, 5, d[1]));
    for (const BinaryDiagram& diagram : d) EXPECT_EQ(diagram.unresolved, 0);
    ASSERT_EQ(d[0].invariants.size(), 3u);
    ASSERT_EQ(d[1].invariants.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d[0].invariants[i].kind, d[1].invariants[i].kind);
        EXPECT_NEAR(d[0].invariants[i].T, d[1].invariants[i].T, 1e-6);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(d[0].invariants[i].x[k], d[1].invariants[i].x[k], 1e-9);
    }
    EXPECT_NEAR(d[0].invariants[2].T - 273.15, 506, 2);
    EXPECT_EQ(d[0].invariants[1].kind, ReactionKind::PERITECTIC);
    EXPECT_NEAR(d[0].invariants[1].T - 273.15, 760, 2);
    const SpecialPoint* laves = pointNear(d[0], SpecialKind::CONGRUENT, 1147 + 273.15, 2);
    ASSERT_NE(laves, nullptr);
    EXPECT_NEAR(laves->x, 2.0 / 3.0, 1e-12);
}

// A regular solution's gap closes where the limiting law puts it: T_c = L0 / (2 R) at x = 1/2
// (a symmetric interaction), found from the sections without being told there is a gap.
TEST(BinaryDiagram, ARegularSolutionsGapClosesAtL0Over2R)
{
    const ScratchDatabase db("regular", "ELEMENT A FCC_A1 10 0 0 !\nELEMENT B FCC_A1 20 0 0 !\n"
                             "PHASE FCC_A1 % 1 1 !\nCONSTITUENT FCC_A1 :A,B: !\n"
                             "PARAMETER G(FCC_A1,A;0) 1 -10*T; 6000 N !\nPARAMETER G(FCC_A1,B;0) 1 -12*T; 6000 N !\n"
                             "PARAMETER G(FCC_A1,A,B;0) 1 20000; 6000 N !\n");
    const fs::path path = db.path;
    Loaded l;
    std::string why;
    ASSERT_TRUE(load(path, l, why)) << why;
    BinaryDiagram d;
    ASSERT_TRUE(computeBinaryDiagram(l.system, 300, 2000, 5, d));
    EXPECT_EQ(d.unresolved, 0);
    const SpecialPoint* critical = pointNear(d, SpecialKind::CRITICAL, 20000 / (2 * 8.31451), 1e-6);
    ASSERT_NE(critical, nullptr);
    EXPECT_NEAR(critical->x, 0.5, 1e-6);
}

// The built-in Ks-Ps model as a system of the one engine against the three-phase diagram that
// solves its pairs' equations in mole fractions: the same melting points, eutectic and stable
// tie-lines to 1e-9, found without being told it is a simple eutectic.
TEST(BinaryDiagram, TheBuiltInModelThroughTheOneEngineIsTheThreePhaseDiagram)
{
    const BuiltInCoefficients coefficients{{GENERATED_MODEL[0], GENERATED_MODEL[1], GENERATED_MODEL[2]}};
    const BinarySystem system = builtInSystem(coefficients);
    const StableDiagram& old = generatedDiagram();
    ASSERT_TRUE(old.haveEutectic);
    BinaryDiagram d;
    ASSERT_TRUE(computeBinaryDiagram(system, 300, 2000, 5, d));
    EXPECT_EQ(d.unresolved, 0);
    ASSERT_EQ(d.invariants.size(), 1u);
    const Invariant& e = d.invariants[0];
    EXPECT_EQ(e.kind, ReactionKind::EUTECTIC);
    EXPECT_NEAR(e.T, old.eutectic[0], 1e-9);
    EXPECT_EQ(e.state[0].phase, FCC);  // Ps-rich
    EXPECT_EQ(e.state[2].phase, BCC);  // Ks-rich
    EXPECT_NEAR(e.x[0], old.eutectic[3], 1e-9);
    EXPECT_NEAR(e.x[1], old.eutectic[1], 1e-9);
    EXPECT_NEAR(e.x[2], old.eutectic[2], 1e-9);
    for (int end = 0; end < 2; ++end) {
        ASSERT_TRUE(old.melting[end].exists);
        const SpecialPoint* melting = pointNear(d, SpecialKind::PURE, old.melting[end].T, 1e-6);
        ASSERT_NE(melting, nullptr) << "end " << end;
        EXPECT_NEAR(melting->T, old.melting[end].T, 1e-9);
    }
    // A section below the eutectic and one above it, tie-line by tie-line.
    SystemSamples samples;
    sampleSystem(system, samples);
    SystemAt at;
    for (const double T : {600.0, old.eutectic[0] + 40}) {
        Section section;
        ASSERT_TRUE(computeSection(system, samples, at, T, section));
        for (const StableTieLine& t : section.tieLines) {
            PhasePair pair = BCC_FCC;
            if (t.state[0].phase == LIQUID || t.state[1].phase == LIQUID)
                pair = t.state[0].phase == FCC || t.state[1].phase == FCC ? LIQUID_FCC : LIQUID_BCC;
            TieLine line{};
            ASSERT_TRUE(stableTieLine(old, pair, T, nullptr, line)) << T;
            // The old pairs name the liquid first, then BCC before FCC.
            const int first = firstPhase(pair);
            const double x0 = t.state[0].phase == first ? t.x[0] : t.x[1];
            const double x1 = t.state[0].phase == first ? t.x[1] : t.x[0];
            EXPECT_NEAR(x0, line.x[0], 1e-9) << T;
            EXPECT_NEAR(x1, line.x[1], 1e-9) << T;
        }
    }
}

// Henry's law at a pure end: a hair below A's melting point the liquidus and solidus are dilute
// in B, and their ratio is the limiting law's, k = x(solid) / x(liquid) =
// exp((G_B(liquid) - G_B(solid) + L(liquid) - L(solid)) / R T), for regular solutions.
TEST(BinaryDiagram, TheDiluteEndFollowsHenrysLaw)
{
    // A melts at 1000 K; B's liquid lies 3000 J/mol below its solid, the interactions differ.
    const ScratchDatabase db("henry", "ELEMENT A FCC_A1 10 0 0 !\nELEMENT B FCC_A1 20 0 0 !\n"
                             "PHASE LIQUID:L % 1 1 !\nCONSTITUENT LIQUID:L :A,B: !\n"
                             "PARAMETER G(LIQUID,A;0) 1 10000-10*T; 6000 N !\nPARAMETER G(LIQUID,B;0) 1 -3000; 6000 N !\n"
                             "PARAMETER G(LIQUID,A,B;0) 1 -2000; 6000 N !\n"
                             "PHASE FCC_A1 % 1 1 !\nCONSTITUENT FCC_A1 :A,B: !\n"
                             "PARAMETER G(FCC_A1,A;0) 1 0; 6000 N !\nPARAMETER G(FCC_A1,B;0) 1 0; 6000 N !\n"
                             "PARAMETER G(FCC_A1,A,B;0) 1 6000; 6000 N !\n");
    const fs::path path = db.path;
    Loaded l;
    std::string why;
    ASSERT_TRUE(load(path, l, why)) << why;
    SystemSamples samples;
    sampleSystem(l.system, samples);
    SystemAt at;
    const double T = 1000 - 1e-3;
    Section section;
    ASSERT_TRUE(computeSection(l.system, samples, at, T, section));
    ASSERT_FALSE(section.tieLines.empty());
    const StableTieLine& t = section.tieLines.front();
    ASSERT_LT(t.x[1], 1e-3);
    const int liquid = phaseNamed(l.system, "LIQUID");
    const double xLiquid = t.state[0].phase == liquid ? t.x[0] : t.x[1];
    const double xSolid = t.state[0].phase == liquid ? t.x[1] : t.x[0];
    const double k = std::exp((-3000.0 - 0.0 + -2000.0 - 6000.0) / (8.31451 * T));
    EXPECT_NEAR(xSolid / xLiquid, k, 1e-4 * k);
}
