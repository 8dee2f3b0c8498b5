// The band files as phasediagram-uncertainty documents them, read from text typed by hand: each
// number lands in its column, the fingerprint line is taken whole, and a file without rows or
// with a broken row is told apart from a band.
#include "formats/band_files.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(BandFiles, ReadEveryColumnWhereTheTitlesSayItIs)
{
    const auto dir = makeScratchDir();
    writeFile(dir / "band.txt", "# data fingerprint 0123456789abcdef\n"
                                "Temp\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n"
                                "700\t0.951\t0.942\t0.957\t0.0371\t0.0352\t0.0398\t3\n"
                                "710\t0.949\t0.939\t0.956\t0.0392\t0.0371\t0.0419\t0\n");
    BandTable band;
    ErrorText error{};
    ASSERT_TRUE(readBandTable((dir / "band.txt").c_str(), band, error)) << error.text;
    ASSERT_TRUE(band.present);
    EXPECT_EQ(band.fingerprint, "0123456789abcdef");
    ASSERT_EQ(band.rows.size(), 2u);
    const BandTableRow& row = band.rows[0];
    EXPECT_EQ(row.T, 700);
    EXPECT_EQ(row.x[0], 0.951);
    EXPECT_EQ(row.low[0], 0.942);
    EXPECT_EQ(row.high[0], 0.957);
    EXPECT_EQ(row.x[1], 0.0371);
    EXPECT_EQ(row.low[1], 0.0352);
    EXPECT_EQ(row.high[1], 0.0398);
    EXPECT_EQ(row.failed, 3);
    EXPECT_EQ(band.rows[1].T, 710);

    writeFile(dir / "eutectic.txt",
              "# data fingerprint fedcba9876543210\n"
              "Temp\t2.5%\t97.5%\tXb(L)\t2.5%\t97.5%\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n"
              "823.6\t821.1\t826.4\t0.51\t0.49\t0.53\t0.93\t0.92\t0.94\t0.07\t0.06\t0.08\t2\n");
    EutecticBand eutectic;
    ASSERT_TRUE(readEutecticBand((dir / "eutectic.txt").c_str(), eutectic, error)) << error.text;
    ASSERT_TRUE(eutectic.present);
    EXPECT_EQ(eutectic.fingerprint, "fedcba9876543210");
    const double expected[4][3] = {{823.6, 821.1, 826.4}, {0.51, 0.49, 0.53}, {0.93, 0.92, 0.94}, {0.07, 0.06, 0.08}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(eutectic.nominal[k], expected[k][0]) << k;
        EXPECT_EQ(eutectic.low[k], expected[k][1]) << k;
        EXPECT_EQ(eutectic.high[k], expected[k][2]) << k;
    }
    EXPECT_EQ(eutectic.failed, 2);

    // What the writers write, the readers read back.
    BandTable again;
    writeFile(dir / "written.txt", formatBand(band.rows, BCC_FCC, band.fingerprint));
    ASSERT_TRUE(readBandTable((dir / "written.txt").c_str(), again, error)) << error.text;
    EXPECT_EQ(again.fingerprint, band.fingerprint);
    ASSERT_EQ(again.rows.size(), 2u);
    EXPECT_EQ(again.rows[1].high[1], 0.0419);
    EutecticBand eutecticAgain;
    writeFile(dir / "written.txt", formatEutecticBand(eutectic, eutectic.fingerprint));
    ASSERT_TRUE(readEutecticBand((dir / "written.txt").c_str(), eutecticAgain, error)) << error.text;
    EXPECT_EQ(eutecticAgain.low[0], 821.1);
    EXPECT_EQ(eutecticAgain.high[3], 0.08);

    // A band without rows is present and empty; no file is no band; a short row is an error.
    writeFile(dir / "empty.txt", "# data fingerprint 0123456789abcdef\nTemp\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n");
    ASSERT_TRUE(readBandTable((dir / "empty.txt").c_str(), again, error));
    EXPECT_TRUE(again.present);
    EXPECT_TRUE(again.rows.empty());
    ASSERT_TRUE(readBandTable((dir / "absent.txt").c_str(), again, error));
    EXPECT_FALSE(again.present);
    writeFile(dir / "short.txt", "Temp\tXb(BCC)\t2.5%\t97.5%\tXb(FCC)\t2.5%\t97.5%\tFailed\n700\t0.951\t0.942\n");
    EXPECT_FALSE(readBandTable((dir / "short.txt").c_str(), again, error));
    EXPECT_NE(std::string(error.text).find("short.txt: line 2 is not a row of a band file"), std::string::npos);
}

}  // namespace
