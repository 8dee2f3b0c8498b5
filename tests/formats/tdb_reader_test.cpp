// The TDB reader: the database the project writes read back gives the model's Gibbs energies; the
// lead-tin example's published functions melt lead and tin where the literature says and join
// without a step at the ends of their ranges; what a hand-written database holds is evaluated as
// worked out by hand; and each kind of bad database is named with its line.
#include "formats/tdb_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "formats/tdb_export.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

TdbDatabase read(const fs::path& path)
{
    TdbDatabase database;
    ErrorText error{};
    EXPECT_TRUE(readTdb(path.c_str(), database, error)) << error.text;
    return database;
}

double valueOf(const TdbDatabase& database, const TdbPiecewise& f, double T)
{
    double value = NAN;
    ErrorText error{};
    EXPECT_TRUE(evaluateTdb(database, f, T, value, error)) << error.text;
    return value;
}

double functionAt(const TdbDatabase& database, const char* name, double T)
{
    const int f = findTdbFunction(database, name);
    EXPECT_GE(f, 0) << name;
    return f < 0 ? NAN : valueOf(database, database.functions[static_cast<std::size_t>(f)].value, T);
}

// KsPs.tdb as phasediagram-tdb writes it, read back: the Redlich-Kister sum of each phase's
// parameters is the model's Gibbs energy at every composition and temperature.
TEST(TdbReader, ReadsBackTheModelTheProjectWrites)
{
    const fs::path dir = makeScratchDir();
    TextBuffer text;
    text.length = 0;
    formatDatabase(GENERATED_MODEL, text);
    writeFile(dir / "KsPs.tdb", std::string(text.data, text.length));
    const TdbDatabase database = read(dir / "KsPs.tdb");
    ASSERT_EQ(database.phases.size(), 3u);
    const char* const names[3] = {"LIQUID", "BCC_A2", "FCC_A1"};
    for (int p = LIQUID; p <= FCC; ++p)
        for (const double T : {300.0, 900.0, 1500.0})
            for (const double x : {0.01, 0.3, 0.77}) {
                // x of KS; the constituent order KS,PS makes (x_KS - x_PS) the odd orders' factor.
                double G = 0;
                for (const TdbParameter& parameter : database.parameters) {
                    if (parameter.phase != names[p]) continue;
                    const std::vector<std::string>& species = parameter.constituents.at(0);
                    const double v = valueOf(database, parameter.value, T);
                    if (species.size() == 1)
                        G += (species[0] == "KS" ? x : 1 - x) * v;
                    else
                        G += x * (1 - x) * std::pow(x - (1 - x), parameter.order) * v;
                }
                G += GAS_CONSTANT * T * (x * std::log(x) + (1 - x) * std::log(1 - x));
                const auto phase = static_cast<PhaseIndex>(p);
                const double expected = gibbsEnergy(phase, interactionCoefficients(GENERATED_MODEL[p], T), x, T);
                EXPECT_NEAR(G, expected, 1e-9 * std::fabs(expected) + 1e-9) << names[p] << " " << T << " " << x;
            }
}

// Lead melts at 600.65 K and tin at 505.06 K where the liquid's function meets the solid's, as
// the literature's values put them; the piecewise functions join without a step, and their slope
// in T is minus the entropy that the elements' own lines give at 298.15 K.
TEST(TdbReader, TheLeadTinExampleMeltsWhereTheLiteratureSays)
{
    const TdbDatabase database = read(fs::path(EXAMPLE_DATA_DIR).parent_path() / "pb-sn" / "PbSn.tdb");
    const auto melting = [&](const char* liquid, const char* solid, double low, double high) {
        for (int i = 0; i < 60; ++i) {
            const double middle = (low + high) / 2;
            (functionAt(database, liquid, middle) > functionAt(database, solid, middle) ? low : high) = middle;
        }
        return (low + high) / 2;
    };
    EXPECT_NEAR(melting("GLIQPB", "GHSERPB", 500, 700), 600.65, 0.005);
    EXPECT_NEAR(melting("GLIQSN", "GHSERSN", 400, 600), 505.06, 0.005);
    for (const auto& [name, T] : {std::pair{"GHSERPB", 600.65}, std::pair{"GHSERPB", 1200.0}, std::pair{"GHSERSN", 250.0},
                                  std::pair{"GHSERSN", 505.08}, std::pair{"GHSERSN", 800.0}})
        EXPECT_NEAR(functionAt(database, name, T * (1 - 1e-12)), functionAt(database, name, T * (1 + 1e-12)), 0.05) << name << T;
    ASSERT_EQ(database.elements.size(), 4u);
    EXPECT_EQ(database.elements[2].name, "PB");
    EXPECT_EQ(database.elements[2].mass, 207.2);

    // The slope in T is minus the entropy: at 298.15 K that of each element's own line, and
    // everywhere the slope of the values.
    for (const auto& [name, element] : {std::pair{"GHSERPB", 2}, std::pair{"GHSERSN", 3}}) {
        const int f = findTdbFunction(database, name);
        double G = 0;
        double slope = 0;
        ErrorText error{};
        ASSERT_TRUE(evaluateTdb(database, database.functions[static_cast<std::size_t>(f)].value, 298.15, G, slope, error));
        EXPECT_NEAR(-slope, database.elements[static_cast<std::size_t>(element)].entropy, 0.002) << name;
    }
    for (const TdbFunction& f : database.functions)
        for (const double T : {150.0, 300.0, 480.0, 550.0, 900.0, 1500.0}) {
            double G = 0;
            double slope = 0;
            ErrorText error{};
            if (!evaluateTdb(database, f.value, T, G, slope, error)) continue;  // below a function's range
            const double h = 1e-4;
            const double difference = (functionAt(database, f.name.c_str(), T + h) - functionAt(database, f.name.c_str(), T - h)) / (2 * h);
            EXPECT_NEAR(slope, difference, 1e-5 * std::fabs(slope) + 1e-6) << f.name << " at " << T;
        }
}

TEST(TdbReader, EvaluatesWhatADatabaseHoldsAsWorkedOutByHand)
{
    const fs::path dir = makeScratchDir();
    writeFile(dir / "hand.tdb",
              "$ a database as people write them\n"
              " Element A  FCC_A1  10.5 0 0 !  element b bcc_a2 ! $ two statements on one line\n"
              " TEMP_LIM 10 6000 ! \v\f !\n"
              " DATABASE_INFO 'made by hand' !\n"
              " type_def % SEQ * !\n"
              " funct F1 300 +2*T**2-3*LN(T)\n"
              "     +EXP(.5*LOG(T)); 1000 Y\n"
              "   5-(T-1000)/(2+3);  2000 n !\n"
              " FUNCTION F2 300 -F1#+1.5E+2*T**(-1)+F3; 2000 N REF7 !\n"
              " FUNCTION F3 1 -(-4); 3000 N !\n"
              " PHASE LIQ:L % 1 1.0 !\n"
              " CONST LIQ:L :A,B: !\n"
              " PHASE SOLID %) 2 1 3 !\n"
              " CONSTITUENT SOLID :A%,B : VA% : !\n"
              " TYPE_DEFINITION ) GES A_P_D SOLID MAGNETIC -3.0 0.28 !\n"
              " para g(liq,b,a;1) 300 F2+10; 2000 N !\n");
    const TdbDatabase database = read(dir / "hand.tdb");
    const double f1 = 2 * 500.0 * 500.0 - 3 * std::log(500.0) + std::sqrt(500.0);
    EXPECT_NEAR(functionAt(database, "F1", 500), f1, 1e-9 * f1);
    EXPECT_EQ(functionAt(database, "F1", 1500), 5 - 500.0 / 5);
    double f1Value = 0;
    double f1Slope = 0;
    ErrorText slopeError{};
    ASSERT_TRUE(evaluateTdb(database, database.functions[0].value, 500, f1Value, f1Slope, slopeError));
    EXPECT_NEAR(f1Slope, 4 * 500.0 - 3 / 500.0 + 0.5 / std::sqrt(500.0), 1e-9);  // d/dT of 2 T^2 - 3 ln T + T^(1/2)
    ASSERT_TRUE(evaluateTdb(database, database.functions[0].value, 1500, f1Value, f1Slope, slopeError));
    EXPECT_EQ(f1Slope, -1.0 / 5);
    EXPECT_NEAR(functionAt(database, "F2", 500), -f1 + 150.0 / 500 + 4, 1e-9 * f1);
    ASSERT_EQ(database.parameters.size(), 1u);
    const TdbParameter& p = database.parameters[0];
    EXPECT_EQ(p.kind, "G");
    EXPECT_EQ(p.phase, "LIQ");
    EXPECT_EQ(p.constituents, (std::vector<std::vector<std::string>>{{"B", "A"}}));
    EXPECT_EQ(p.order, 1);
    EXPECT_NEAR(valueOf(database, p.value, 500), -f1 + 150.0 / 500 + 4 + 10, 1e-9 * f1);
    ASSERT_EQ(database.phases.size(), 2u);
    EXPECT_FALSE(database.phases[0].magnetic);
    EXPECT_TRUE(database.phases[1].magnetic);
    EXPECT_EQ(database.phases[1].constituents, (std::vector<std::vector<std::string>>{{"A", "B"}, {"VA"}}));
    EXPECT_EQ(database.phases[1].sites, (std::vector<double>{1, 3}));
    EXPECT_EQ(database.elements[0].mass, 10.5);
    EXPECT_EQ(database.elements[1].name, "B");

    double value = 0;
    ErrorText error{};
    EXPECT_FALSE(evaluateTdb(database, p.value, 2500, value, error));
    EXPECT_NE(std::string(error.text).find("hand.tdb: line 16: 2500 K lies outside every range of G(liq,b,a;1)"),
              std::string::npos)
        << error.text;
}

TEST(TdbReader, NamesTheLineAndTheFaultOfABadDatabase)
{
    const fs::path dir = makeScratchDir();
    const std::string deep = "FUNCTION F1 300 " + std::string(5000, '(') + "T; 1000 N !\n";
    const std::pair<const char*, const char*> bad[] = {
        {"FUNCTION F1 300 1+T; 1000 N !\n FUNCTION F2 300 2*T;\n 1000 N\n", "line 2: a statement without its closing \"!\""},
        {"\nFUNCTION F1 300 1.2.3*T; 1000 N !\n", "line 2: FUNCTION: F1: \"1.2.3\" is not a number"},
        {"FUNCTION F1 300 1+T; 1000 N !\nPARAMETER G(LIQ,A;0) 300 F1+F9#; 1000 N !\n",
         "line 2: G(LIQ,A;0) uses the function F9, which the database does not define"},
        {"FUNCTION F1 300 (1+T; 1000 N !\n", "line 1: FUNCTION: F1: a \"(\" without its \")\""},
        {"FUNCTION F1 300 1+T; 1000 !\n", "line 1: FUNCTION: F1: the upper temperature 1000 without Y or N after it"},
        {"FUNCTION F1 300 1+T; 1000 N !\nFUNCTION F1 300 T; 1000 N !\n", "line 2: FUNCTION: F1 is defined twice"},
        {"ELEMENT A FCC_A1 1 0 0 !\nPHASES LIQ % 1 1 !\n", "line 2: \"PHASES\" is not a keyword of the TDB format"},
        {"CONSTITUENT LIQ :A,B: !\n", "line 1: CONSTITUENT: LIQ is no phase declared before it"},
        {deep.c_str(), "line 1: FUNCTION: F1: the expression is nested too deeply"},
        {"\n\nFUNCTION F1 300 293.82E400*T; 1000 N !\n", "line 3: FUNCTION: F1: \"293.82E400\" lies beyond the range of a double"},
    };
    for (const auto& [text, message] : bad) {
        writeFile(dir / "bad.tdb", text);
        TdbDatabase database;
        ErrorText error{};
        EXPECT_FALSE(readTdb((dir / "bad.tdb").c_str(), database, error)) << text;
        EXPECT_NE(std::string(error.text).find(std::string("bad.tdb: ") + message), std::string::npos) << error.text;
    }
    // Functions that refer to each other in a circle are found when evaluated.
    writeFile(dir / "circle.tdb", "FUNCTION F1 300 F2+1; 1000 N !\nFUNCTION F2 300 F1-1; 1000 N !\n");
    const TdbDatabase database = read(dir / "circle.tdb");
    double value = 0;
    ErrorText error{};
    EXPECT_FALSE(evaluateTdb(database, database.functions[0].value, 500, value, error));
    EXPECT_NE(std::string(error.text).find("refers to itself"), std::string::npos) << error.text;
}

// A term defined over only part of its range stops the evaluation where it becomes undefined,
// named with the temperature, instead of giving a value that is not a number; R and P are the
// gas constant and the pressure the database is read with.
TEST(TdbReader, NamesTheTemperatureWhereATermIsUndefined)
{
    const fs::path dir = makeScratchDir();
    writeFile(dir / "part.tdb", "FUNCTION F1 300 -10*T*LN(500-T); 1000 N !\n"
                                "FUNCTION F2 300 EXP(1000*T); 1000 N !\n"
                                "FUNCTION F3 300 R*T*LN(P/1E5)+2*R; 1000 N !\n");
    const TdbDatabase database = read(dir / "part.tdb");
    double value = 0;
    ErrorText error{};
    EXPECT_TRUE(evaluateTdb(database, database.functions[0].value, 499, value, error)) << error.text;
    EXPECT_DOUBLE_EQ(value, -10 * 499 * std::log(1.0));
    EXPECT_FALSE(evaluateTdb(database, database.functions[0].value, 600, value, error));
    EXPECT_NE(std::string(error.text).find("part.tdb: line 1: F1 takes LN of -100 at 600 K"), std::string::npos)
        << error.text;
    EXPECT_FALSE(evaluateTdb(database, database.functions[1].value, 400, value, error));
    EXPECT_NE(std::string(error.text).find("line 2: F2 is inf at 400 K"), std::string::npos) << error.text;
    EXPECT_TRUE(evaluateTdb(database, database.functions[2].value, 700, value, error)) << error.text;
    EXPECT_NEAR(value, 2 * 8.31451, 1e-12);
}

}  // namespace
