// phasediagram-solidify on the example's model: one alloy's paths, its band of replicates, and the
// Gibbs energies behind the diagram it is read from.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "model/fitting.h"
#include "solidification/replicate_spread.h"
#include "uncertainty/bootstrap.h"
#include "model_data.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The numbers of a tab-separated row ("-" as NaN), after the lines that start with "#" and the title.
std::vector<std::vector<double>> numericRows(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream lines(text);
    bool title = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (!title) {
            title = true;
            continue;
        }
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            if (!field.empty() && (field == "-" || std::isdigit(static_cast<unsigned char>(field[0]))))
                row.push_back(field == "-" ? NAN : std::stod(field));
        rows.push_back(row);
    }
    return rows;
}

// One alloy's solidification, and the Gibbs energy curves behind the diagram; an alloy outside
// (0, 1) or an end above the start is a usage error, a start below the liquidus a data error.
TEST(AlloyPrograms, SolidifyAnAlloyAndDrawTheGibbsEnergies)
{
    const fs::path dir = plottedExample();
    const ProgramRun run = runTool(SOLIDIFY_PATH, dir, {"0.3", "--replicates", "40"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Liquidus 1121.13 K; the Scheil path ends at 823.66 K (eutectic) with 0.5485 of liquid "
                            "left\n", 0), 0u) << run.out;
    EXPECT_NE(readFile(dir / "Solidification.svg").find("95 % band"), std::string::npos);

    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"1.5"}).status, 2);
    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"--from", "900", "--to", "1000", "0.3"}).status, 2);
    const ProgramRun low = runTool(SOLIDIFY_PATH, dir, {"--from", "1000", "0.3"});
    EXPECT_EQ(low.status, 1);
    EXPECT_NE(low.err.find("below the alloy's liquidus at 1121.13 K"), std::string::npos) << low.err;

    ASSERT_EQ(runTool(PLOT_PATH, dir, {"--gibbs", "900"}).status, 0);
    const std::string gibbs = readFile(dir / "GibbsEnergy.svg");
    EXPECT_NE(gibbs.find("Liquid / FCC, stable"), std::string::npos);
    EXPECT_NE(gibbs.find("BCC / FCC, metastable"), std::string::npos);
    // At 280 K the stable BCC/FCC tangent touches both curves within 0.001 of the pure ends.
    ASSERT_EQ(runTool(PLOT_PATH, dir, {"--gibbs", "280"}).status, 0);
    const std::string cold = readFile(dir / "GibbsEnergy.svg");
    EXPECT_NE(cold.find("BCC / FCC, stable"), std::string::npos);
    EXPECT_NE(cold.find("x = 0.9996 and 0.0001"), std::string::npos);
}

// The eutectic fractions of an alloy do not depend on where its table stops; a run without
// replicates takes the band of an earlier run away; dilute alloys have their liquidus.
TEST(AlloyPrograms, AnswerForEveryAlloyWhateverTheRangeAndNothingStaleIsLeft)
{
    const fs::path dir = plottedExample();
    ASSERT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.3", "--replicates", "20"}).status, 0);
    const std::string band = readFile(dir / "Solidification_band.txt");
    EXPECT_EQ(band.rfind("# alloy x0 = 0.300000\n# data fingerprint ", 0), 0u) << band.substr(0, 80);
    const ProgramRun shortPath = runTool(SOLIDIFY_PATH, dir, {"0.3", "--to", "900"});
    ASSERT_EQ(shortPath.status, 0) << shortPath.err;
    EXPECT_EQ(shortPath.out.rfind("Liquidus 1121.13 K; the Scheil path ends at 823.66 K (eutectic) with 0.5485 of "
                                  "liquid left\n", 0), 0u) << shortPath.out;
    // The liquid at the eutectic on each path, whatever range the rows cover.
    const std::string table = readFile(dir / "Solidification.txt");
    EXPECT_NE(table.find("# equilibrium, 823.6573 K, eutectic: FCC 0.468946 (x 0.067631) + Liquid 0.531054"),
              std::string::npos);
    EXPECT_NE(table.find("# Scheil ends at 823.6573 K, eutectic, with a fraction 0.548471 of liquid"), std::string::npos);
    EXPECT_EQ(table.substr(table.rfind('\n', table.size() - 2) + 1, 9), "900.0000\t");  // the last row
    ASSERT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.3", "--from", "1130", "--to", "1100", "--step", "5"}).status, 0);
    EXPECT_EQ(numericRows(readFile(dir / "Solidification.txt")).size(), 8u);  // 1130 to 1100 K and the liquidus
    EXPECT_NE(readFile(dir / "Solidification.txt").find("\n1130.0000\t"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "Solidification_band.txt"));

    // 0.5 % of Ks: FCC first, at the liquidus that Liquid/FCC's limiting law puts 5.5 K below
    // pure Ps's melting point (x(L) - x(FCC) = (15000 - 10 T) / RT for a dilute liquid).
    const ProgramRun dilute = runTool(SOLIDIFY_PATH, dir, {"0.005"});
    ASSERT_EQ(dilute.status, 0) << dilute.err;
    EXPECT_EQ(dilute.out.rfind("Liquidus 1494.47 K; ", 0), 0u) << dilute.out;
    EXPECT_NE(readFile(dir / "Solidification.txt").find(" K: FCC forms, "), std::string::npos);

    const ProgramRun negative = runTool(SOLIDIFY_PATH, dir, {"-0.1"});
    EXPECT_EQ(negative.status, 2);
    EXPECT_NE(negative.err.find("X0 is a mole fraction strictly between 0 and 1, not \"-0.1\""), std::string::npos)
        << negative.err;
    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.3", "--from", "1e300"}).status, 2);
    EXPECT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.3", "--step", "101"}).status, 2);  // at most 100 K
    const ProgramRun tooLong = runTool(SOLIDIFY_PATH, dir, {"0.3", "--from", "90000"});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("more than 100000"), std::string::npos) << tooLong.err;
}

// Each column of Solidification.txt and Solidification_band.txt holds what its title says: the two
// paths' columns as the three-phase solver computes them for the example's model, the amounts of
// the phases adding up to one on each path, and the band of the replicates of its data and seed.
TEST(AlloyPrograms, TheTablesHoldThePathAndTheBandOfTheAlloy)
{
    const fs::path dir = plottedExample();
    ASSERT_EQ(runTool(SOLIDIFY_PATH, dir, {"0.7", "--step", "5", "--replicates", "30", "--seed", "99"}).status, 0);
    MeasuredData data{};
    ASSERT_TRUE(readExampleData(data));
    PhaseParameters model[3];
    PhaseFit fits[3];
    fitModel(data, model[LIQUID], model[BCC], model[FCC], fits);
    StableDiagram diagram;
    buildStableDiagram(model, diagram);
    SolidificationPath path;
    ErrorText error{};
    ASSERT_TRUE(alloyTemperatures(diagram, 0.7, nullptr, path, error)) << error.text;
    const PathGrid grid{std::ceil(path.liquidus) + 20, std::floor(path.eutectic[0]) - 20, 5};
    ASSERT_TRUE(solidificationRows(diagram, grid, path, error)) << error.text;

    const auto table = numericRows(readFile(dir / "Solidification.txt"));
    ASSERT_EQ(table.size(), path.rows.size());
    for (std::size_t r = 0; r < table.size(); ++r) {
        const PathRow& row = path.rows[r];
        const double expected[] = {row.T, row.fsEquilibrium, row.xLiquidEquilibrium, row.xSolidEquilibrium,
                                   row.fsScheil, row.xLiquidScheil, row.xSolidScheil};
        ASSERT_EQ(table[r].size(), 13u) << r;  // and Liquid, BCC, FCC on each path
        EXPECT_NEAR(table[r][7] + table[r][8] + table[r][9], 1, 3e-6) << r;
        EXPECT_NEAR(table[r][10] + table[r][11] + table[r][12], 1, 3e-6) << r;
        for (int c = 0; c < 7; ++c) {
            if (std::isnan(expected[c])) {
                EXPECT_TRUE(std::isnan(table[r][c])) << r << " " << c;
            } else {
                EXPECT_NEAR(table[r][c], expected[c], c == 0 ? 5e-5 : 5e-7) << r << " " << c;
            }
        }
    }

    FitSamples samples{};
    ASSERT_TRUE(prepareFits(data, GivenScatter{}, samples, error)) << error.text;
    std::vector<ReplicateModel> models;
    std::vector<ScatterRatios> ratios;
    drawReplicates(samples, 30, 99, models, ratios);
    ReplicateSpread spread{};
    ASSERT_TRUE(spreadOfReplicates(diagram, models, 0.7, grid, spread, error)) << error.text;
    const auto band = numericRows(readFile(dir / "Solidification_band.txt"));
    ASSERT_EQ(band.size(), spread.band.size());
    for (std::size_t r = 0; r < band.size(); ++r) {
        const PathBandRow& row = spread.band[r];
        const double expected[] = {row.T, row.equilibriumLow, row.equilibriumHigh, row.scheilLow, row.scheilHigh,
                                   static_cast<double>(row.failed)};
        ASSERT_EQ(band[r].size(), 6u) << r;
        for (int c = 0; c < 6; ++c) EXPECT_NEAR(band[r][c], expected[c], c == 0 ? 5e-5 : 5e-7) << r << " " << c;
    }
    char header[96];
    std::snprintf(header, sizeof header, "# liquidus 95 %%: %.2f to %.2f K\n", spread.liquidus[0], spread.liquidus[1]);
    EXPECT_NE(readFile(dir / "Solidification.txt").find(header), std::string::npos) << header;
}

}  // namespace
