// Reading a measured-data file: the layouts that must read alike, and the files that must be
// refused with a message naming the file and the place.
#include "formats/data_files.h"

#include <gtest/gtest.h>

#include <string>

#include "scratch_dir.h"

namespace {

struct Read {
    bool ok;
    DataSeries series;
    std::string message;
};

Read readText(const std::string& text)
{
    const auto path = makeScratchDir() / "Li(a).txt";
    writeFile(path, text);
    Read read{};
    ErrorText error{};
    read.ok = readDataSeries(path.c_str(), read.series, error);
    read.message = error.text;
    return read;
}

TEST(ReadDataSeries, LayoutsOfTheSamePairsReadAlike)
{
    const char* layouts[] = {
        "0.1\t2.5\n0.2\t-1e3\n0.35\t+4.25E-2\n",
        "0.1\n2.5\n0.2\n-1e3\n0.35\n+4.25E-2\n",
        "0.1 2.5 0.2 -1e3 0.35 +4.25E-2",
        "0.1\t2.5\r\n0.2\t-1e3\r\n0.35\t+4.25E-2\r\n",
        "  0.1 2.5   \n0.2 -1e3\t\n 0.35 +4.25E-2  \n\n\n",
        "0.1 2.5 0.2\n-1e3 0.35 +4.25E-2",
    };
    for (const char* text : layouts) {
        const Read read = readText(text);
        ASSERT_TRUE(read.ok) << read.message;
        ASSERT_EQ(read.series.count, 3) << text;
        EXPECT_EQ(read.series.x[2], 0.35);
        EXPECT_EQ(read.series.value[1], -1000.0);
        EXPECT_EQ(read.series.value[2], 0.0425);
    }
}

TEST(ReadDataSeries, AnEmptyFileHoldsNoPairs)
{
    const Read read = readText(" \n\t\n");
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.series.count, 0);
}

TEST(ReadDataSeries, FiftyPairsFitAndFiftyOneAreRefused)
{
    std::string text;
    for (int i = 1; i <= 50; ++i) text += "0.5 " + std::to_string(i) + "\n";
    const Read fifty = readText(text);
    ASSERT_TRUE(fifty.ok) << fifty.message;
    EXPECT_EQ(fifty.series.count, 50);
    EXPECT_EQ(fifty.series.value[49], 50.0);

    const Read more = readText(text + "0.5 51\n");
    EXPECT_FALSE(more.ok);
    EXPECT_NE(more.message.find("Li(a).txt: line 51: more than 50 pairs"), std::string::npos) << more.message;
}

TEST(ReadDataSeries, RefusesWhatIsNotANumber)
{
    const Read word = readText("0.1 2.5\n0.2 abc\n");
    EXPECT_FALSE(word.ok);
    EXPECT_NE(word.message.find("Li(a).txt: line 2: \"abc\" is not a number"), std::string::npos) << word.message;

    const Read comma = readText("0.1 2,5\n");
    EXPECT_FALSE(comma.ok);
    EXPECT_NE(comma.message.find("line 1: \",5\" is not a number"), std::string::npos) << comma.message;

    const Read binary = readText(std::string("0.1 \x01\x02\x7f", 7));
    EXPECT_FALSE(binary.ok);
    EXPECT_NE(binary.message.find("\"???\" is not a number"), std::string::npos) << binary.message;
}

TEST(ReadDataSeries, RefusesALoneLastNumber)
{
    const Read read = readText("0.1 2.5\n0.2 2.4\n0.3\n");
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.message.find("ends after the composition of pair 3"), std::string::npos) << read.message;
}

TEST(ReadDataSeries, NamesTheSystemsReasonWhenAFileCannotBeRead)
{
    const auto dir = makeScratchDir();
    DataSeries series{};
    ErrorText error{};
    EXPECT_FALSE(readDataSeries((dir / "absent.txt").c_str(), series, error));
    EXPECT_NE(std::string(error.text).find("absent.txt: cannot open: No such file or directory"), std::string::npos)
        << error.text;
    EXPECT_FALSE(readDataSeries(dir.c_str(), series, error));
    EXPECT_NE(std::string(error.text).find("cannot read: Is a directory"), std::string::npos) << error.text;
}

TEST(FirstCompositionMismatch, ComparesTheActivityFilesPairs)
{
    PhaseData data{};
    data.activity.count = 2;
    data.enthalpy.count = 3;
    data.activity.x[0] = data.enthalpy.x[0] = 0.1;
    data.activity.x[1] = data.enthalpy.x[1] = 0.2;
    data.enthalpy.x[2] = 0.7;
    EXPECT_EQ(firstCompositionMismatch(data), -1);
    data.enthalpy.x[1] = 0.25;
    EXPECT_EQ(firstCompositionMismatch(data), 1);
}

}  // namespace
