// The database must describe the fitted model: its Gibbs energies, evaluated the way a CALPHAD
// program evaluates a TDB file, equal the model's own.
#include "formats/tdb_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "model/phase.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// An asymmetric model: L1 far from zero in every phase, so that the sign of the odd-order term
// decides the result.
constexpr PhaseParameters MODEL[3] = {
    {-11713.84, 2.851718, 3441.959, -1.717574},
    {11983.43, -2.011936, -4057.016, 2.095475},
    {13986.69, -2.947846, 5044.692, -2.1419},
};

// The linear expressions of a database's parameters, keyed "PHASE,CONSTITUENTS;ORDER".
struct Line {
    double constant;
    double slope;
};

std::map<std::string, Line> readParameters(const std::string& database)
{
    std::map<std::string, Line> parameters;
    std::istringstream lines(database);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("PARAMETER G(", 0) != 0) continue;
        const std::size_t open = line.find('(');
        const std::size_t close = line.find(')');
        const std::string key = line.substr(open + 1, close - open - 1);
        std::istringstream rest(line.substr(close + 1));
        std::string low, expression;
        rest >> low >> expression;  // "1.0" and "A+B*T;"
        char* end = nullptr;
        const double constant = std::strtod(expression.c_str(), &end);
        const double slope = std::strtod(end, &end);  // takes the sign between the two
        EXPECT_EQ(std::string(end), "*T;") << line;
        parameters[key] = {constant, slope};
    }
    return parameters;
}

double at(const std::map<std::string, Line>& parameters, const std::string& key, double T)
{
    const auto found = parameters.find(key);
    EXPECT_NE(found, parameters.end()) << key;
    return found == parameters.end() ? NAN : found->second.constant + found->second.slope * T;
}

// G of a one-sublattice substitutional phase: pure terms, ideal mixing, Redlich-Kister excess.
double databaseGibbsEnergy(const std::map<std::string, Line>& parameters, const std::string& phase, double xKs,
                           double T)
{
    const double xPs = 1 - xKs;
    const double pure = xKs * at(parameters, phase + ",KS;0", T) + xPs * at(parameters, phase + ",PS;0", T);
    const double ideal = GAS_CONSTANT * T * (xKs * std::log(xKs) + xPs * std::log(xPs));
    const double excess =
        xKs * xPs * (at(parameters, phase + ",KS,PS;0", T) + at(parameters, phase + ",KS,PS;1", T) * (xKs - xPs));
    return pure + ideal + excess;
}

std::string database(const PhaseParameters (&model)[3])
{
    TextBuffer text;
    text.length = 0;
    formatDatabase(model, text);
    return std::string(text.data, text.length);
}

TEST(Database, DescribesTheGibbsEnergyOfTheModel)
{
    const auto parameters = readParameters(database(MODEL));
    ASSERT_EQ(parameters.size(), 12u);
    const std::pair<PhaseIndex, std::string> phases[] = {{LIQUID, "LIQUID"}, {BCC, "BCC_A2"}, {FCC, "FCC_A1"}};
    for (const auto& [phase, name] : phases) {
        for (const double T : {300.0, 823.66, 1500.0}) {
            for (const double x : {0.013, 0.25, 0.5, 0.77, 0.991}) {
                const double model = gibbsEnergy(phase, interactionCoefficients(MODEL[phase], T), x, T);
                const double described = databaseGibbsEnergy(parameters, name, x, T);
                EXPECT_NEAR(described, model, 1e-9 * std::fabs(model)) << name << " T=" << T << " x=" << x;
            }
        }
    }
}

TEST(Database, TheOddOrderTermChangesSignWithTheConstituentOrder)
{
    const auto parameters = readParameters(database(MODEL));
    // x_KS - x_PS is positive on the Ks-rich side: there L'1 must add what L1 x adds over L1 / 2.
    const Line l1 = parameters.at("LIQUID,KS,PS;1");
    EXPECT_DOUBLE_EQ(l1.constant, MODEL[LIQUID].b0 / 2);
    EXPECT_DOUBLE_EQ(l1.slope, MODEL[LIQUID].b1 / 2);
    EXPECT_GT(l1.constant, 0);
    EXPECT_LT(l1.slope, 0);
}

TEST(Database, WritesNumbersThatGiveBackTheSameDouble)
{
    const std::string text = database(MODEL);
    EXPECT_NE(text.find("PARAMETER G(LIQUID,KS;0) 1.0 16250-12.5*T; 10000.0 N !\n"), std::string::npos);
    EXPECT_NE(text.find("PARAMETER G(BCC_A2,PS;0) 1.0 10000+0*T; 10000.0 N !\n"), std::string::npos);
    const auto parameters = readParameters(text);
    EXPECT_EQ(parameters.at("FCC_A1,KS,PS;0").constant, MODEL[FCC].a0 + MODEL[FCC].b0 / 2);
    EXPECT_EQ(parameters.at("FCC_A1,KS,PS;0").slope, MODEL[FCC].a1 + MODEL[FCC].b1 / 2);
}

TEST(DatabaseProgram, WritesTheSameFileOnEveryRun)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const ProgramRun first = runTool(TDB_PATH, dir);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "The fitted model is written in the file : KsPs.tdb\n");
    const std::string written = readFile(dir / "KsPs.tdb");
    EXPECT_NE(written.find("$ from the measured data in Li(Hm).txt, Li(a).txt, BCC(Hf).txt, BCC(aPs).txt, "
                           "FCC(Hf).txt, FCC(aKs).txt.\n"),
              std::string::npos);
    ASSERT_EQ(runTool(TDB_PATH, dir).status, 0);
    EXPECT_EQ(readFile(dir / "KsPs.tdb"), written);
}

TEST(DatabaseProgram, RefusesCoefficientsThatAreNotFinite)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    writeFile(dir / "BCC(aPs).txt", "0.1 0.61543\n");  // one pair: no line through it
    writeFile(dir / "KsPs.tdb", "an earlier database\n");
    const ProgramRun run = runTool(TDB_PATH, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("phasediagram-tdb: BCC: the fit gives coefficients that are not finite", 0), 0u) << run.err;
    EXPECT_EQ(readFile(dir / "KsPs.tdb"), "an earlier database\n");

    fs::remove(dir / "Li(a).txt");
    EXPECT_EQ(runTool(TDB_PATH, dir).err, "phasediagram-tdb: Li(a).txt: cannot open: No such file or directory\n");
}

}  // namespace
