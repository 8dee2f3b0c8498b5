// Measured points of a database's system: pairs of any of its phases (two sets of one phase across
// a gap), arrests by their reaction, weight percents; each bad line named with what is wrong.
#include "formats/system_points.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

const std::vector<std::string> AL_MG = {"LIQUID", "FCC_A1", "HCP_A3", "ALMG_BETA"};
// Lead and tin, whose Sn-37Pb solder is x(Sn) = 0.748234 (63 % tin by weight).
const double LEAD_TIN_MASSES[2] = {207.2, 118.71};

TEST(ReadSystemPoints, TakesPairsGapsArrestsAndWeightPercents)
{
    const auto dir = makeScratchDir();
    writeFile(dir / "points.txt", "# T x pair phase\n"
                                  "900 0.1 liquid/fcc FCC\n"
                                  "700\t0.2 FCC_A1#1/fcc_a1#2 FCC_A1#2 0.002\n"
                                  "725 - eutectic\n"
                                  "725.2 0.37 Eutectic LIQUID/FCC_A1/ALMG_BETA 0.5 # with its scatter\n"
                                  "456 63wt LIQUID/HCP_A3 LIQUID\n");
    std::vector<SystemPoint> points;
    bool present = false;
    ErrorText error{};
    ASSERT_TRUE(readSystemPoints((dir / "points.txt").c_str(), AL_MG, LEAD_TIN_MASSES, points, present, error))
        << error.text;
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[0].phase[0], 0);
    EXPECT_EQ(points[0].phase[1], 1);
    EXPECT_EQ(points[0].side, 1);
    EXPECT_EQ(points[0].pairText, "LIQUID/FCC_A1");
    EXPECT_EQ(points[1].set[0], 1);
    EXPECT_EQ(points[1].set[1], 2);
    EXPECT_EQ(points[1].side, 1);
    EXPECT_EQ(points[1].sd, 0.002);
    EXPECT_EQ(points[1].phaseText, "FCC_A1#2");
    EXPECT_TRUE(points[2].arrest);
    EXPECT_FALSE(points[2].haveX);
    EXPECT_EQ(points[2].kind, "eutectic");
    EXPECT_EQ(points[3].reaction[2], 3);
    EXPECT_EQ(points[3].sd, 0.5);
    EXPECT_EQ(points[3].pairText, "eutectic LIQUID/FCC_A1/ALMG_BETA");
    EXPECT_NEAR(points[4].x, 0.748234, 5e-7);

    const std::pair<const char*, const char*> bad[] = {
        {"900 0.1 LIQUID/BCC_A2 LIQUID\n", "line 1: \"LIQUID/BCC_A2\" is not a pair of the system's phases (LIQUID, "
                                           "FCC_A1, HCP_A3, ALMG_BETA)"},
        {"\n900 0.1 FCC_A1/FCC_A1 FCC_A1\n", "line 2: the two sets of FCC_A1 across its gap are FCC_A1#1 and FCC_A1#2"},
        {"900 0.1 FCC_A1#3/FCC_A1#1 FCC_A1#1\n", "line 1: \"FCC_A1#3/FCC_A1#1\" is not a pair"},
        {"900 0.1 LIQUID/FCC_A1 HCP_A3\n", "line 1: \"HCP_A3\" is not a phase of LIQUID/FCC_A1"},
        {"900 - LIQUID/FCC_A1 LIQUID\n", "line 1: a boundary point needs its composition"},
        {"900 120wt LIQUID/FCC_A1 LIQUID\n", "line 1: \"120wt\" is not a weight percent strictly between 0 and 100"},
        {"725 - eutectic LIQUID/FCC_A1\n", "line 1: \"LIQUID/FCC_A1\" is not three phases of the system"},
        {"725 - eutectic -2\n", "line 1: \"-2\" is not a standard deviation above 0"},
        {"725 - melting\n", "line 1: expected T, x, the pair and the phase"},
    };
    for (const auto& [text, message] : bad) {
        writeFile(dir / "bad.txt", text);
        EXPECT_FALSE(readSystemPoints((dir / "bad.txt").c_str(), AL_MG, LEAD_TIN_MASSES, points, present, error)) << text;
        EXPECT_NE(std::string(error.text).find(message), std::string::npos) << error.text;
        EXPECT_EQ(std::string(error.text).rfind((dir / "bad.txt").string() + ": ", 0), 0u) << error.text;
    }
    // A weight percent where the database gives no masses.
    writeFile(dir / "bad.txt", "456 63wt LIQUID/HCP_A3 LIQUID\n");
    EXPECT_FALSE(readSystemPoints((dir / "bad.txt").c_str(), AL_MG, nullptr, points, present, error));
    EXPECT_NE(std::string(error.text).find("needs the masses of the elements"), std::string::npos) << error.text;
    // No file: no points, and no failure.
    EXPECT_TRUE(readSystemPoints((dir / "none.txt").c_str(), AL_MG, nullptr, points, present, error));
    EXPECT_FALSE(present);
}

}  // namespace
