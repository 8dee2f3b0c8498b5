// Choosing a binary system from a database for the one engine: which phases the two elements
// form and which constituents they keep, a phase of two sublattices with a reciprocal term
// evaluated against the compound energy formalism worked out by hand, and each feature the model
// lacks refused naming its line.
#include "formats/tdb_binary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/sublattice_energy.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* ELEMENTS = "ELEMENT VA VACUUM 0 0 0 !\nELEMENT A FCC_A1 10 0 0 !\nELEMENT B FCC_A1 20 0 0 !\n"
                                 "ELEMENT C FCC_A1 30 0 0 !\n";

bool choose(const fs::path& dir, const std::string& text, const std::string (&elements)[2], TdbDatabase& database,
            BinarySystem& system, TdbParameterValues& values, ErrorText& error)
{
    writeFile(dir / "system.tdb", std::string(ELEMENTS) + text);
    return readTdb((dir / "system.tdb").c_str(), database, error) &&
           chooseBinarySystem(database, elements, {}, "", 8.31451, system, values, error);
}

}  // namespace

TEST(TdbBinary, TakesThePhasesTheTwoElementsFormWithTheirConstituents)
{
    const fs::path dir = makeScratchDir();
    TdbDatabase database;
    BinarySystem system;
    TdbParameterValues values;
    ErrorText error{};
    const std::string text = "PHASE LIQUID:L % 1 1 !\nCONSTITUENT LIQUID:L :A,B,C: !\n"
                             "PHASE ONLYC % 2 1 1 !\nCONSTITUENT ONLYC :C: A,B: !\n"
                             "PHASE AC % 2 1 3 !\nCONSTITUENT AC :A,C: VA: !\n"
                             "PARAMETER G(LIQUID,A,C;0) 298.15 1000; 6000 N !\n"
                             "PARAMETER G(AC,A:VA;0) 298.15 -5; 6000 N !\n";
    const std::string ab[2] = {"B", "A"};
    ASSERT_TRUE(choose(dir, text, ab, database, system, values, error)) << error.text;
    // x counts the second in alphabetical order; ONLYC needs C on its first sublattice.
    EXPECT_EQ(system.elements[0], "A");
    EXPECT_EQ(system.elements[1], "B");
    ASSERT_EQ(system.phases.size(), 2u);
    EXPECT_EQ(system.phases[0].name, "LIQUID");
    EXPECT_EQ(constituentCount(system.phases[0]), 2);
    EXPECT_TRUE(system.phases[0].terms.empty());  // the A,C interaction is another system's
    EXPECT_EQ(system.phases[1].name, "AC");
    EXPECT_EQ(freeVariables(system.phases[1]), 0);  // A alone on the first, VA on the second
    ASSERT_EQ(system.phases[1].terms.size(), 1u);
    // A database of three elements wants the two named.
    const std::string none[2] = {"", ""};
    EXPECT_FALSE(chooseBinarySystem(database, none, {}, "", 8.31451, system, values, error));
    EXPECT_NE(std::string(error.text).find("holds 3 elements; name the two of the system"), std::string::npos)
        << error.text;
}

// (A,B)1 (A,B)2 with a reciprocal term: per formula unit,
// G = sum y'_i y''_j G_ij + R T (y' ln y' summed + 2 y'' ln y'' summed) + y'_A y'_B y''_A y''_B L.
TEST(TdbBinary, AReciprocalPhaseIsTheFormalismWorkedOutByHand)
{
    const fs::path dir = makeScratchDir();
    TdbDatabase database;
    BinarySystem system;
    TdbParameterValues values;
    ErrorText error{};
    const std::string text = "PHASE S % 2 1 2 !\nCONSTITUENT S :A,B: A,B: !\n"
                             "PARAMETER G(S,A:A;0) 298.15 -100*T; 6000 N !\nPARAMETER G(S,A:B;0) 298.15 -20000; 6000 N !\n"
                             "PARAMETER G(S,B:A;0) 298.15 7000; 6000 N !\nPARAMETER G(S,B:B;0) 298.15 -50*T; 6000 N !\n"
                             "PARAMETER G(S,A,B:A;1) 298.15 3000; 6000 N !\nPARAMETER G(S,A,B:A,B;0) 298.15 -4000; 6000 N !\n";
    const std::string ab[2] = {"A", "B"};
    ASSERT_TRUE(choose(dir, text, ab, database, system, values, error)) << error.text;
    const double T = 800;
    std::vector<double> v(static_cast<std::size_t>(system.parameters.count));
    ASSERT_TRUE(system.parameters.valuesAt(system.parameters.context, T, v.data()));
    const ModelPhase& s = system.phases[0];
    const double y[4] = {0.3, 0.7, 0.6, 0.4};  // A, B on the first; A, B on the second
    const double lnY[4] = {std::log(0.3), std::log(0.7), std::log(0.6), std::log(0.4)};
    const double G = nonIdealEnergy(s, v.data(), T, 8.31451, y, nullptr, nullptr) +
                     8.31451 * T * idealMixing(s, y, lnY);
    const double expected = 0.3 * 0.6 * (-100 * T) + 0.3 * 0.4 * (-20000) + 0.7 * 0.6 * 7000 + 0.7 * 0.4 * (-50 * T) +
                            0.3 * 0.7 * 0.6 * 3000 * (0.3 - 0.7) + 0.3 * 0.7 * 0.6 * 0.4 * (-4000) +
                            8.31451 * T * (0.3 * std::log(0.3) + 0.7 * std::log(0.7) +
                                           2 * (0.6 * std::log(0.6) + 0.4 * std::log(0.4)));
    EXPECT_NEAR(G, expected, 1e-9 * std::fabs(expected));
}

TEST(TdbBinary, RefusesWhatTheModelLacksNamingTheLine)
{
    const fs::path dir = makeScratchDir();
    const std::pair<std::string, std::string> cases[] = {
        {"PHASE ION:Y % 2 1 1 !\nCONSTITUENT ION:Y :A,B: VA: !\n", "line 5: ION is an ionic liquid"},
        {"TYPE_DEFINITION & GES A_P_D S DIS_PART SD !\nPHASE S %& 1 1 !\nCONSTITUENT S :A,B: !\n",
         "line 6: S has a disordered part"},
        {"PHASE S % 1 1 !\nCONSTITUENT S :A,B: !\nPARAMETER G(S,*;0) 298.15 1; 6000 N !\n",
         "line 7: G(S,*;0): a wildcard constituent"},
        {"PHASE S % 2 1 1 !\nCONSTITUENT S :A,B: A,B: !\nPARAMETER G(S,A,B:A,B;1) 298.15 1; 6000 N !\n",
         "line 7: G(S,A,B:A,B;1): a reciprocal parameter of order 1"},
        {"PHASE S % 1 1 !\nCONSTITUENT S :A,B,VA: !\nPARAMETER G(S,A,B,VA;3) 298.15 1; 6000 N !\n",
         "line 7: G(S,A,B,VA;3): a ternary interaction of order 3"},
        {"PHASE S % 1 1 !\nCONSTITUENT S :A,B,D: !\n", "line 5: S has the constituent D, which the database declares"},
        {"PHASE S % 1 1 !\nCONSTITUENT S :A,B: !\nPARAMETER G(S,A,B;0) 298.15 1; 6000 N !\n"
         "PARAMETER G(S,B,A;0) 298.15 2; 6000 N !\n",
         "line 8: G(S,B,A;0) is given twice (also line 7)"},
    };
    const std::string ab[2] = {"A", "B"};
    for (const auto& [text, message] : cases) {
        TdbDatabase database;
        BinarySystem system;
        TdbParameterValues values;
        ErrorText error{};
        EXPECT_FALSE(choose(dir, text, ab, database, system, values, error)) << text;
        EXPECT_NE(std::string(error.text).find("system.tdb: " + message), std::string::npos) << error.text;
    }
}
