// The binary system of a database: the lead-tin example's Gibbs energies put the three phases in
// equilibrium where an independent CALPHAD calculation on the same values does; the project's own
// database, read with tin's place taken by the alphabet, gives the model back with the odd orders
// turned; and what the models do not hold is refused, named with its line.
#include "formats/tdb_system.h"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/log_ratio.h"
#include "equilibrium/tie_line_newton.h"
#include "formats/tdb_export.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The chemical potentials of the first and the second element in a phase at x and T.
std::pair<double, double> potentials(const TdbDatabase& database, const TdbSystemPhase& phase, double x, double T)
{
    double G = 0;
    double slope = 0;
    ErrorText error{};
    EXPECT_TRUE(tdbGibbsEnergy(database, phase, x, T, G, slope, error)) << error.text;
    return {G - x * slope, G + (1 - x) * slope};
}

// The lead-tin example's database and its system.
void readLeadTin(TdbDatabase& database, TdbSystem& system)
{
    ErrorText error{};
    ASSERT_TRUE(readTdb((fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb").c_str(), database, error))
        << error.text;
    ASSERT_TRUE(chooseTdbSystem(database, {}, system, error)) << error.text;
}

TEST(TdbSystem, LeadTinIsInEquilibriumWhereAnIndependentCalculationPutsIt)
{
    TdbDatabase database;
    TdbSystem system;
    ErrorText error{};
    readLeadTin(database, system);
    if (HasFatalFailure()) return;
    EXPECT_EQ(system.elements[0], "PB");
    EXPECT_EQ(system.elements[1], "SN");
    EXPECT_EQ(system.phases[0].name, "LIQUID");
    EXPECT_TRUE(system.leftOut.empty());
    const TdbSystemPhase& liquid = system.phases[0];
    const TdbSystemPhase& fcc = system.phases[1];
    const TdbSystemPhase& bct = system.phases[2];

    // Compositions printed to 6 or 7 decimals move the potentials by up to about 0.1 J/mol; lead's
    // in BCT_A5 near pure tin moves by 1.1e6 J/mol per unit of x, and the last tie-line's BCT_A5
    // composition lies 2.6e-7 from the one these functions give (0.9963326), 0.3 J/mol. One
    // kelvin away from the eutectic the potentials differ by several J/mol.
    struct Tie {
        double T;
        const TdbSystemPhase* a;
        double xa;
        const TdbSystemPhase* b;
        double xb;
    };
    for (const Tie& t : {Tie{454.5620, &liquid, 0.7373324, &fcc, 0.2632148}, Tie{454.5620, &liquid, 0.7373324, &bct, 0.9755197},
                         Tie{400, &fcc, 0.1530714, &bct, 0.9867655}, Tie{500, &fcc, 0.206977, &liquid, 0.5589514},
                         Tie{500, &liquid, 0.979113, &bct, 0.9963329}}) {
        const auto [aPb, aSn] = potentials(database, *t.a, t.xa, t.T);
        const auto [bPb, bSn] = potentials(database, *t.b, t.xb, t.T);
        EXPECT_NEAR(aPb, bPb, 0.5) << t.a->name << "/" << t.b->name << " at " << t.T;
        EXPECT_NEAR(aSn, bSn, 0.5) << t.a->name << "/" << t.b->name << " at " << t.T;
    }
    // The terms' slopes in T give dG/dT at fixed x as a central difference of G does.
    for (const TdbSystemPhase& phase : system.phases)
        for (const double T : {350.0, 480.0, 550.0})
            for (const double x : {0.1, 0.5, 0.9}) {
                PhaseCurve terms;
                ASSERT_TRUE(tdbPhaseCurve(database, phase, T, terms, error)) << error.text;
                double series = 0;
                for (int k = terms.orders - 1; k >= 0; --k) series = series * (1 - 2 * x) + terms.LSlope[k];
                const double slopeT = (1 - x) * terms.pureSlope[0] + x * terms.pureSlope[1] + x * (1 - x) * series +
                                      TDB_GAS_CONSTANT * (x * std::log(x) + (1 - x) * std::log(1 - x));
                double up = 0;
                double down = 0;
                double ignored = 0;
                ASSERT_TRUE(tdbGibbsEnergy(database, phase, x, T + 1e-3, up, ignored, error));
                ASSERT_TRUE(tdbGibbsEnergy(database, phase, x, T - 1e-3, down, ignored, error));
                EXPECT_NEAR(slopeT, (up - down) / 2e-3, 1e-5) << phase.name << " " << T << " " << x;
            }

    const auto [lPb, lSn] = potentials(database, liquid, 0.7373324, 455.5620);
    const auto [fPb, fSn] = potentials(database, fcc, 0.2632148, 455.5620);
    EXPECT_GT(std::fabs(lPb - fPb) + std::fabs(lSn - fSn), 2.0);
}

// The lead-tin tie-lines solved by Newton's method on the phases' curves, from starts 0.02 away,
// are those of the independent calculation to the digits it gives: 7 (5e-8), and 6 for the
// liquid of 500 K; its BCT_A5 composition of 0.9963329 there lies 2.6e-7 from these functions'.
// At the eutectic's temperature as printed (4 decimals, 5e-5 K) each liquid tie-line lies up to
// 3e-7 from the eutectic's compositions, which the liquid's steep boundaries move that much.
TEST(TdbSystem, LeadTinTieLinesSolvedOnTheCurvesAreThoseOfTheIndependentCalculation)
{
    TdbDatabase database;
    TdbSystem system;
    ErrorText error{};
    readLeadTin(database, system);
    if (HasFatalFailure()) return;
    struct Tie {
        double T;
        int a;  // LIQUID 0, FCC_A1 1, BCT_A5 2
        double xa;
        int b;
        double xb;
        double tolerance;
    };
    for (const Tie& t : {Tie{400, 1, 0.1530714, 2, 0.9867655, 5e-8}, Tie{500, 1, 0.206977, 0, 0.5589514, 5e-7},
                         Tie{500, 0, 0.979113, 2, 0.9963329, 3e-7}, Tie{454.5620, 0, 0.7373324, 1, 0.2632148, 4e-7},
                         Tie{454.5620, 0, 0.7373324, 2, 0.9755197, 4e-7}}) {
        PhaseCurve a;
        PhaseCurve b;
        ASSERT_TRUE(tdbPhaseCurve(database, system.phases[t.a], t.T, a, error)) << error.text;
        ASSERT_TRUE(tdbPhaseCurve(database, system.phases[t.b], t.T, b, error)) << error.text;
        const double nudge = t.xa < t.xb ? -0.02 : 0.02;
        double s[2] = {logRatio(t.xa + nudge * (1 - t.xa) * t.xa * 4), logRatio(t.xb - nudge * (1 - t.xb) * t.xb * 4)};
        ASSERT_TRUE(solveTieLine(a, b, t.T, s)) << t.T;
        EXPECT_NEAR(composition(s[0]).x, t.xa, t.tolerance) << system.phases[t.a].name << " at " << t.T;
        EXPECT_NEAR(composition(s[1]).x, t.xb, t.tolerance) << system.phases[t.b].name << " at " << t.T;
    }
}

// KsPs.tdb as the project writes it: with KS before PS in the alphabet, x counts PS, and the
// interactions written for the order KS,PS turn sign in their odd orders. The Gibbs energy less
// its ideal mixing is then the model's at 1 - x.
TEST(TdbSystem, ReadsTheProjectsModelWithTheOddOrdersTurned)
{
    const fs::path dir = makeScratchDir();
    TextBuffer text;
    text.length = 0;
    formatDatabase(GENERATED_MODEL, text);
    writeFile(dir / "KsPs.tdb", std::string(text.data, text.length));
    TdbDatabase database;
    ErrorText error{};
    ASSERT_TRUE(readTdb((dir / "KsPs.tdb").c_str(), database, error)) << error.text;
    TdbSystem system;
    ASSERT_TRUE(chooseTdbSystem(database, {"FCC_A1", "LIQUID", "BCC_A2"}, system, error)) << error.text;
    EXPECT_EQ(system.elements[1], "PS");
    const PhaseIndex phaseOf[3] = {LIQUID, FCC, BCC};
    for (int k = 0; k < 3; ++k)
        for (const double T : {400.0, 1200.0})
            for (const double x : {0.05, 0.4, 0.9}) {
                double G = 0;
                double slope = 0;
                ASSERT_TRUE(tdbGibbsEnergy(database, system.phases[k], x, T, G, slope, error)) << error.text;
                const double mixing = x * std::log(x) + (1 - x) * std::log(1 - x);
                const PhaseIndex p = phaseOf[k];
                const double model = gibbsEnergy(p, interactionCoefficients(GENERATED_MODEL[p], T), 1 - x, T);
                EXPECT_NEAR(G - TDB_GAS_CONSTANT * T * mixing, model - GAS_CONSTANT * T * mixing, 1e-8 * std::fabs(model))
                    << system.phases[k].name << " " << T << " " << x;
                // The slope against a central difference.
                double up = 0;
                double down = 0;
                double ignored = 0;
                ASSERT_TRUE(tdbGibbsEnergy(database, system.phases[k], x + 1e-6, T, up, ignored, error));
                ASSERT_TRUE(tdbGibbsEnergy(database, system.phases[k], x - 1e-6, T, down, ignored, error));
                EXPECT_NEAR(slope, (up - down) / 2e-6, 1e-3) << system.phases[k].name << " " << T << " " << x;
            }
}

TEST(TdbSystem, RefusesWhatTheModelsDoNotHold)
{
    const fs::path dir = makeScratchDir();
    const std::string head = "ELEMENT VA VACUUM 0 0 0 !\nELEMENT A FCC_A1 1 0 0 !\nELEMENT B BCC_A2 1 0 0 !\n"
                             "FUNCTION ONE 1 1; 6000 N !\n";  // line 4
    const std::string phases = "PHASE LIQUID:L % 1 1 !\nCONSTITUENT LIQUID :A,B: !\n"
                               "PARAMETER G(LIQUID,A;0) 1 ONE; 6000 N !\nPARAMETER G(LIQUID,B;0) 1 ONE; 6000 N !\n"
                               "PHASE FCC_A1 % 1 1 !\nCONSTITUENT FCC_A1 :A,B: !\n"
                               "PARAMETER G(FCC_A1,A;0) 1 ONE; 6000 N !\nPARAMETER G(FCC_A1,B;0) 1 ONE; 6000 N !\n";
    struct Case {
        std::string text;
        std::vector<std::string> phases;
        const char* message;
    };
    const Case cases[] = {
        {head + phases + "PHASE BCC_A2 % 1 1 !\nCONSTITUENT BCC_A2 :A,B: !\nPARAMETER G(BCC_A2,A;0) 1 ONE; 6000 N !\n",
         {}, "line 13: BCC_A2 has no G parameter of B alone"},
        {head + phases + "TYPE_DEF ) GES A_P_D BCC_A2 MAGNETIC -1 0.4 !\nPHASE BCC_A2 %) 1 1 !\n"
                         "CONSTITUENT BCC_A2 :A,B: !\nPARAMETER G(BCC_A2,A;0) 1 ONE; 6000 N !\n"
                         "PARAMETER G(BCC_A2,B;0) 1 ONE; 6000 N !\nPARAMETER TC(BCC_A2,A;0) 1 ONE; 6000 N !\n",
         {"LIQUID", "FCC_A1", "BCC_A2"}, "line 14: BCC_A2 has a magnetic contribution (a TYPE_DEFINITION with MAGNETIC and "
                                         "TC(BCC_A2,A;0), line 18)"},
        {head + phases + "PHASE BCC_A2 % 2 1 1 !\nCONSTITUENT BCC_A2 :A,B:A,VA: !\n", {"LIQUID", "FCC_A1", "BCC_A2"},
         "line 13: BCC_A2 has more than one sublattice of elements"},
        {head + phases + "PHASE BCC_A2 % 1 1 !\nCONSTITUENT BCC_A2 :A,B: !\nPARAMETER G(BCC_A2,A;0) 1 ONE; 6000 N !\n"
                         "PARAMETER G(BCC_A2,B;0) 1 ONE; 6000 N !\nPARAMETER TC(FCC_A1,A;0) 1 ONE; 6000 N !\n",
         {}, "line 17: TC(FCC_A1,A;0): a TC parameter, which is not modelled"},
        {head + phases, {"LIQUID", "FCC_A1", "HCP_A3"}, "the database holds no phase HCP_A3"},
        {head + "ELEMENT C DIAMOND 1 0 0 !\n" + phases, {}, "the database holds 3 elements"},
        {head + phases + "PHASE BCC_A2 % 1 1 !\nPHASE HCP_A3 % 1 1 !\n", {}, "the database holds 4 phases: name the liquid"},
        {head + phases, {"FCC_A1", "FCC_A1", "FCC_A1"}, "are not a liquid and two solids"},
    };
    for (const Case& c : cases) {
        writeFile(dir / "bad.tdb", c.text);
        TdbDatabase database;
        ErrorText error{};
        ASSERT_TRUE(readTdb((dir / "bad.tdb").c_str(), database, error)) << error.text;
        TdbSystem system;
        EXPECT_FALSE(chooseTdbSystem(database, c.phases, system, error)) << c.message;
        EXPECT_NE(std::string(error.text).find(c.message), std::string::npos) << error.text;
        EXPECT_EQ(std::string(error.text).rfind((dir / "bad.tdb").string() + ": ", 0), 0u) << error.text;
    }
}

// The temperatures of a system are where every term is defined, functions used included: a
// parameter written for 298.15 to 6000 K that uses a function of 200 to 3000 K holds to 3000 K,
// bounded by that function; ranges that do not overlap are refused, naming both ends.
TEST(TdbSystem, ItsTemperaturesAreWhereEveryTermAndEveryFunctionUsedHold)
{
    const fs::path dir = makeScratchDir();
    const std::string head = "ELEMENT VA VACUUM 0 0 0 !\nELEMENT A FCC_A1 1 0 0 !\nELEMENT B BCC_A2 1 0 0 !\n"
                             "FUNCTION F 200 1; 3000 N !\nFUNCTION H 100 F#; 2500 Y F#+1; 4000 N !\n";
    const std::string phases = "PHASE LIQUID:L % 1 1 !\nPHASE FCC_A1 % 1 1 !\nPHASE BCC_A2 % 1 1 !\n"
                               "CONSTITUENT LIQUID :A,B: !\nCONSTITUENT FCC_A1 :A,B: !\nCONSTITUENT BCC_A2 :A,B: !\n"
                               "PARAMETER G(LIQUID,A;0) 298.15 F#; 6000 N !\nPARAMETER G(LIQUID,B;0) 250 1; 6000 N !\n"
                               "PARAMETER G(FCC_A1,A;0) 250 1; 6000 N !\nPARAMETER G(FCC_A1,B;0) 250 1; 6000 N !\n"
                               "PARAMETER G(BCC_A2,A;0) 250 1; 6000 N !\nPARAMETER G(BCC_A2,B;0) 250 H; 6000 N !\n";
    writeFile(dir / "range.tdb", head + phases);
    TdbDatabase database;
    TdbSystem system;
    ErrorText error{};
    ASSERT_TRUE(readTdb((dir / "range.tdb").c_str(), database, error)) << error.text;
    ASSERT_TRUE(chooseTdbSystem(database, {}, system, error)) << error.text;
    TdbRange range{};
    ASSERT_TRUE(tdbTemperatureRange(database, system, range, error)) << error.text;
    EXPECT_EQ(range.lowest, 298.15);
    EXPECT_EQ(range.highest, 3000.0);
    EXPECT_EQ(range.lowBound->what, "G(LIQUID,A;0)");
    EXPECT_EQ(range.highBound->what, "F");

    writeFile(dir / "apart.tdb", head + phases + "PARAMETER G(LIQUID,A,B;0) 3500 1; 6000 N !\n");
    ASSERT_TRUE(readTdb((dir / "apart.tdb").c_str(), database, error)) << error.text;
    ASSERT_TRUE(chooseTdbSystem(database, {}, system, error)) << error.text;
    EXPECT_FALSE(tdbTemperatureRange(database, system, range, error));
    EXPECT_NE(std::string(error.text).find("G(LIQUID,A,B;0) holds from 3500 K, but F (line 4) only up to 3000 K"),
              std::string::npos)
        << error.text;
}

}  // namespace
