// The table formatting must write exactly the bytes of the C library's printf.
#include "formats/text_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

std::string fixed(double value, int width)
{
    TextBuffer buffer;
    buffer.length = 0;
    appendFixed(buffer, value, width);
    return std::string(buffer.data, buffer.length);
}

std::string printed(double value, int width)
{
    char text[512];
    std::snprintf(text, sizeof text, "%*.6f", width, value);
    return text;
}

TEST(AppendFixed, WritesWhatPrintfWritesForSpecialValues)
{
    const double values[] = {0.0, -0.0, -1e-9, 5e-7, 4.9999999999999998e-7, 2.5e-6, 0.0000015, 1.0000005,
                             -252.423719, 12471.599999999999, 1e22, 1.7976931348623157e308, 4.9e-324,
                             INFINITY, -INFINITY, NAN, -NAN, 823.6573145};
    for (const int width : {0, 12}) {
        for (const double v : values) EXPECT_EQ(fixed(v, width), printed(v, width)) << v;
    }
    EXPECT_EQ(fixed(-NAN, 12), "        -nan");
    EXPECT_EQ(fixed(-10000, 12), "-10000.000000");
}

TEST(AppendFixed, WritesWhatPrintfWritesOverManyMagnitudes)
{
    std::mt19937_64 generator(2385);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 14);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(mantissa(generator), exponent(generator) * 3);
        ASSERT_EQ(fixed(v, 12), printed(v, 12)) << v;
    }
}

// Values on and next to a tie between two millionths, where rounding the product in double
// precision could go the wrong way.
TEST(AppendFixed, RoundsTiesOfMillionthsAsPrintfDoes)
{
    std::mt19937_64 generator(7);
    std::uniform_int_distribution<long long> millionths(0, 2000000000LL);
    for (int i = 0; i < 20000; ++i) {
        const double tie = (static_cast<double>(millionths(generator)) + 0.5) / 1e6;
        for (const double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300), -tie}) {
            ASSERT_EQ(fixed(v, 0), printed(v, 0)) << v;
        }
    }
    for (const double v : {0.0000005, 0.0000015, 0.0000025, 1.0000005, 0.1234565, 999999999.9999995, 1e9, 9.2e18,
                           9.3e18, 1.8e19}) {
        EXPECT_EQ(fixed(v, 0), printed(v, 0)) << v;
    }
}

TEST(AppendInt, WritesWhatPrintfWrites)
{
    for (const int v : {0, 7, 10, 99, 100, 999, 1000, 9999, 10000, -1, -10000, 1600, INT_MAX, INT_MIN}) {
        TextBuffer buffer;
        buffer.length = 0;
        appendInt(buffer, v);
        EXPECT_EQ(std::string(buffer.data, buffer.length), std::to_string(v));
    }
}

}  // namespace
