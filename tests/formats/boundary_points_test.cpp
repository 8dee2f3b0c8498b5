// The file of measured boundary points: what a person types is read, and a bad line is named with
// what is wrong with it.
#include "formats/boundary_points.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scratch_dir.h"

namespace {

TEST(ReadBoundaryPoints, TakesBoundaryPointsAndArrestsAndNamesEachBadLine)
{
    const auto dir = makeScratchDir();
    writeFile(dir / "points.txt", "# T  x  pair  phase\r\n1050 0.30 liquid/fcc Liquid\r\n\n900\t0.93 Liquid/BCC BCC # q\n"
                                  "823.5 - eutectic\n824 0.5 Eutectic\n");
    std::vector<BoundaryPoint> points;
    bool present = false;
    ErrorText error{};
    ASSERT_TRUE(readBoundaryPoints((dir / "points.txt").c_str(), points, present, error)) << error.text;
    ASSERT_TRUE(present);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].line, 2);
    EXPECT_EQ(points[0].pair, LIQUID_FCC);
    EXPECT_EQ(points[0].side, 0);
    EXPECT_EQ(points[1].pair, LIQUID_BCC);
    EXPECT_EQ(points[1].side, 1);
    EXPECT_EQ(points[2].pair, 0);
    EXPECT_FALSE(points[2].haveX);
    EXPECT_EQ(points[3].x, 0.5);

    const std::pair<const char*, const char*> bad[] = {
        {"1050 0.3 Liquid/HCP Liquid\n", "line 1: \"Liquid/HCP\" is not a pair of phases"},
        {"\n1050 0.3 BCC/FCC Liquid\n", "line 2: \"Liquid\" is not a phase of BCC/FCC"},
        {"abc 0.3 eutectic\n", "line 1: \"abc\" is not a temperature in K of at least 1"},
        {"900 1.2 BCC/FCC BCC\n", "line 1: \"1.2\" is not a mole fraction strictly between 0 and 1"},
        {"900 0 BCC/FCC BCC\n", "line 1: \"0\" is not a mole fraction strictly between 0 and 1"},
        {"900 1 BCC/FCC FCC\n", "line 1: \"1\" is not a mole fraction strictly between 0 and 1"},
        {"0 0.5 eutectic\n", "line 1: \"0\" is not a temperature in K of at least 1"},
        {"# a slip\n1e-5 0.5 Liquid/BCC Liquid\n", "line 2: \"1e-5\" is not a temperature in K of at least 1"},
        {"0.99 0.5 Liquid/BCC Liquid\n", "line 1: \"0.99\" is not a temperature in K of at least 1"},
        {"900 nan Liquid/FCC FCC\n", "line 1: \"nan\" is not a mole fraction strictly between 0 and 1"},
        {"823 0.5 eutectic Liquid extra\n", "line 1: expected T, x, the pair and the phase"},
        {"900 - BCC/FCC BCC\n", "line 1: a boundary point needs its composition"},
        {"900 0.5\n", "line 1: expected T, x, the pair and the phase"},
    };
    for (const auto& [text, message] : bad) {
        writeFile(dir / "bad.txt", text);
        EXPECT_FALSE(readBoundaryPoints((dir / "bad.txt").c_str(), points, present, error)) << text;
        EXPECT_NE(std::string(error.text).find(std::string("bad.txt: ") + message), std::string::npos) << error.text;
    }
    EXPECT_TRUE(readBoundaryPoints((dir / "absent.txt").c_str(), points, present, error));
    EXPECT_FALSE(present);

    // A last number is the point's own scatter.
    writeFile(dir / "scatter.txt", "1050 0.30 Liquid/FCC Liquid 4\n823 - eutectic 1.5\n600 0.05 BCC/FCC BCC 0.002\n900 0.1 BCC/FCC BCC\n");
    ASSERT_TRUE(readBoundaryPoints((dir / "scatter.txt").c_str(), points, present, error)) << error.text;
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].sd, 4);
    EXPECT_EQ(points[1].sd, 1.5);
    EXPECT_FALSE(points[1].haveX);
    EXPECT_EQ(points[2].sd, 0.002);
    EXPECT_TRUE(std::isnan(points[3].sd));
    for (const char* text : {"1050 0.3 Liquid/FCC Liquid 0\n", "823 - eutectic -2\n", "900 0.1 BCC/FCC BCC x\n"}) {
        writeFile(dir / "bad.txt", text);
        EXPECT_FALSE(readBoundaryPoints((dir / "bad.txt").c_str(), points, present, error)) << text;
        EXPECT_NE(std::string(error.text).find("is not a standard deviation above 0"), std::string::npos) << error.text;
    }
}

}  // namespace
