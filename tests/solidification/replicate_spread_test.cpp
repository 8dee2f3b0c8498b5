// The spread of an alloy's path over replicates of the model: with 41 replicates the 2.5 and 97.5
// percentiles are the second smallest and the second largest value, and each replicate's values
// come from its own diagram, built and solved from scratch.
#include "solidification/replicate_spread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "model_data.h"

namespace {

constexpr int REPLICATES = 41;

// The second smallest and second largest of the values.
std::pair<double, double> outerButOne(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[1], values[values.size() - 2]};
}

// The spread of the alloy x0's path over the replicates, its rows from `from` down to 760 K,
// against each replicate's path solved on a diagram of its own.
void expectTheOuterValuesOfOwnSolves(const std::vector<std::array<PhaseParameters, 3>>& models, double x0, double from)
{
    SCOPED_TRACE(x0);
    const PathGrid grid{from, 760, 0.5};
    ReplicateSpread spread{};
    ErrorText error{};
    ASSERT_TRUE(spreadOfReplicates(generatedDiagram(), models, x0, grid, spread, error)) << error.text;
    EXPECT_EQ(spread.failed, 0);

    // Each replicate on its own, on the band's grid of 2.5 K.
    const PathGrid coarse{from, 760, 2.5};
    std::vector<double> liquidus;
    std::vector<double> equilibrium;
    std::vector<double> scheil;
    std::vector<std::vector<double>> fsEquilibrium;
    std::vector<std::vector<double>> fsScheil;
    std::vector<double> temperatures;
    for (const auto& m : models) {
        const PhaseParameters model[3] = {m[0], m[1], m[2]};
        StableDiagram own;
        buildStableDiagram(model, own);
        SolidificationPath path;
        ASSERT_TRUE(solidify(own, x0, coarse, nullptr, path, error)) << error.text;
        liquidus.push_back(path.liquidus);
        equilibrium.push_back(path.eutecticEquilibrium);
        scheil.push_back(path.eutecticScheil);
        std::size_t k = 0;
        for (const PathRow& row : path.rows) {
            if (row.event[0] != '\0') continue;
            if (k == temperatures.size()) {
                temperatures.push_back(row.T);
                fsEquilibrium.emplace_back();
                fsScheil.emplace_back();
            }
            fsEquilibrium[k].push_back(row.fsEquilibrium);
            fsScheil[k].push_back(row.fsScheil);
            ++k;
        }
    }
    EXPECT_NEAR(spread.liquidus[0], outerButOne(liquidus).first, 1e-6);
    EXPECT_NEAR(spread.liquidus[1], outerButOne(liquidus).second, 1e-6);
    EXPECT_GT(spread.liquidus[1] - spread.liquidus[0], 0.5);  // the replicates do differ
    EXPECT_NEAR(spread.eutecticEquilibrium[0], outerButOne(equilibrium).first, 1e-9);
    EXPECT_NEAR(spread.eutecticEquilibrium[1], outerButOne(equilibrium).second, 1e-9);
    EXPECT_NEAR(spread.eutecticScheil[0], outerButOne(scheil).first, 1e-9);
    EXPECT_NEAR(spread.eutecticScheil[1], outerButOne(scheil).second, 1e-9);

    ASSERT_EQ(spread.band.size(), temperatures.size());
    for (std::size_t k = 0; k < temperatures.size(); ++k) {
        const PathBandRow& row = spread.band[k];
        EXPECT_EQ(row.T, from - 2.5 * static_cast<double>(k));
        EXPECT_EQ(row.T, temperatures[k]);
        EXPECT_NEAR(row.equilibriumLow, outerButOne(fsEquilibrium[k]).first, 1e-9) << row.T;
        EXPECT_NEAR(row.equilibriumHigh, outerButOne(fsEquilibrium[k]).second, 1e-9) << row.T;
        EXPECT_NEAR(row.scheilLow, outerButOne(fsScheil[k]).first, 1e-9) << row.T;
        EXPECT_NEAR(row.scheilHigh, outerButOne(fsScheil[k]).second, 1e-9) << row.T;
    }
}

TEST(ReplicateSpread, IsTheSecondOuterValueOfFortyOneReplicatesSolvedOnTheirOwn)
{
    // Replicates that move the liquid's a0 by -800 to 800 J/mol, in a scrambled order, and FCC's
    // b0 with them, so that no two quantities are ordered alike.
    std::vector<std::array<PhaseParameters, 3>> models;
    for (int i = 0; i < REPLICATES; ++i) {
        const int k = (i * 17) % REPLICATES - REPLICATES / 2;
        std::array<PhaseParameters, 3> m = {GENERATED_MODEL[0], GENERATED_MODEL[1], GENERATED_MODEL[2]};
        m[LIQUID].a0 += 40.0 * k;
        m[FCC].b0 += 25.0 * ((k * 7) % 5);
        models.push_back(m);
    }
    // An alloy that ends in the eutectic, and one that freezes as FCC alone above it.
    expectTheOuterValuesOfOwnSolves(models, 0.3, 1180);
    expectTheOuterValuesOfOwnSolves(models, 0.03, 1520);
}

}  // namespace
