// The result tables: what the writers write the readers read back, the fields of
// unconverged rows, tables without rows, and lines that do not belong in a table.
#include "formats/result_tables.h"
#include "formats/band_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "scratch_dir.h"

namespace {

const std::string TITLE = "Temp\tXb(Liquid) \tXb(FCC)\t      Iteration\t\tValidity\t\n";

TEST(ReadBoundaryTable, TakesNaNAndInfiniteFieldsAsTheValuesTheyAre)
{
    const auto path = makeScratchDir() / "table.txt";
    writeFile(path, TITLE + "500\t0.649832\t0.958418\t6\t\t Valid \t\n"
                            "501\t-nan\tinf\t100\t\tInvalid\t\n"
                            "502\tnan\t-inf\t100\t\tInvalid\t\n"
                            "503\t-252.423719\t1.617957\t100\t\tInvalid\t\n");
    BoundaryTable table;
    ErrorText error{};
    ASSERT_TRUE(readBoundaryTable(path.c_str(), table, error)) << error.text;
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_TRUE(table.rows[0].valid);
    EXPECT_EQ(table.rows[0].count, 6);
    EXPECT_EQ(table.rows[0].x[1], 0.958418);
    EXPECT_TRUE(std::isnan(table.rows[1].x[0]) && std::signbit(table.rows[1].x[0]));
    EXPECT_EQ(table.rows[1].x[1], INFINITY);
    EXPECT_EQ(table.rows[2].x[1], -INFINITY);
    EXPECT_FALSE(table.rows[3].valid);
    EXPECT_EQ(table.rows[3].T, 503);
}

TEST(ReadBoundaryTable, ATableWithoutRowsIsEmptyNotWrong)
{
    const auto dir = makeScratchDir();
    writeFile(dir / "title.txt", TITLE);
    writeFile(dir / "nothing.txt", "");
    BoundaryTable table;
    ErrorText error{};
    EXPECT_TRUE(readBoundaryTable((dir / "title.txt").c_str(), table, error));
    EXPECT_TRUE(table.rows.empty());
    EXPECT_TRUE(readBoundaryTable((dir / "nothing.txt").c_str(), table, error));
    EXPECT_TRUE(table.rows.empty());
}

TEST(ReadBoundaryTable, RefusesALineThatIsNotARow)
{
    const auto dir = makeScratchDir();
    writeFile(dir / "t.txt", TITLE + "500\t0.6\t0.9\t6\t\t Valid \t\n501\t0.6\t0.9\t6\n");
    BoundaryTable table;
    ErrorText error{};
    EXPECT_FALSE(readBoundaryTable((dir / "t.txt").c_str(), table, error));
    EXPECT_NE(std::string(error.text).find("t.txt: line 3 is not a row of a phase-boundary table"), std::string::npos);
    EXPECT_FALSE(readBoundaryTable((dir / "absent.txt").c_str(), table, error));
    EXPECT_NE(std::string(error.text).find("absent.txt: cannot open: No such file or directory"), std::string::npos);
}

TEST(ReadEutecticTable, ReadsTheRowWithoutALineEndOrNoRowAtAll)
{
    const auto dir = makeScratchDir();
    const std::string title = "Temp\t\tXb(L) \t\tXb(BCC) \t Xb(FCC) \tIteration\t\n";
    writeFile(dir / "e.txt", title + "823.657314\t0.505193\t0.922979\t0.067631\t52\t");
    writeFile(dir / "missing.txt", title);
    EutecticPoint point{};
    ErrorText error{};
    ASSERT_TRUE(readEutecticTable((dir / "e.txt").c_str(), point, error)) << error.text;
    EXPECT_TRUE(point.present);
    EXPECT_EQ(point.T, 823.657314);
    EXPECT_EQ(point.xFCC, 0.067631);
    EXPECT_EQ(point.count, 52);
    ASSERT_TRUE(readEutecticTable((dir / "missing.txt").c_str(), point, error));
    EXPECT_FALSE(point.present);
}

TEST(RoundTrip, WhatTheWritersWriteTheReadersReadBack)
{
    const auto dir = makeScratchDir();
    TextBuffer text;
    text.length = 0;
    appendText(text, boundaryTitle(BCC_FCC));
    appendSweepRow(text, 700, {0.952010, 0.037823, 0, 0}, 3);
    appendSweepRow(text, 701, {-1.5, NAN, 0, 0}, UNCONVERGED_COUNT);
    writeFile(dir / "table.txt", std::string(text.data, text.length));
    text.length = 0;
    appendText(text, EUTECTIC_TITLE);
    appendEutecticRow(text, {823.657314, 0.505193, 0.922979, 0.067631}, 52);
    writeFile(dir / "eutectic.txt", std::string(text.data, text.length));

    ErrorText error{};
    BoundaryTable table;
    ASSERT_TRUE(readBoundaryTable((dir / "table.txt").c_str(), table, error)) << error.text;
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].x[0], 0.95201);
    EXPECT_TRUE(table.rows[0].valid);
    EXPECT_FALSE(table.rows[1].valid);
    EXPECT_TRUE(std::isnan(table.rows[1].x[1]));
    EutecticPoint point{};
    ASSERT_TRUE(readEutecticTable((dir / "eutectic.txt").c_str(), point, error)) << error.text;
    EXPECT_EQ(point.xBCC, 0.922979);
}

}  // namespace
