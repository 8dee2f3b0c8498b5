// Inversion with scaled partial pivoting: row exchanges, scale factors that stay with the row
// positions, the absolute pivot test and what a failed or undetected pivot leaves behind.
#include "numeric/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double SENTINEL = 123.456;

Matrix4 filled(double value)
{
    Matrix4 m;
    m.fill(value);
    return m;
}

// Entry (r, c) of the leading block of a matrix whose other entries hold SENTINEL.
Matrix4 block(int n, std::initializer_list<double> rowMajor)
{
    Matrix4 m = filled(SENTINEL);
    auto value = rowMajor.begin();
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) m[4 * r + c] = *value++;
    return m;
}

// original * inverse is the identity of size n, entry by entry within tolerance.
void expectInverse(const Matrix4& original, const Matrix4& inverse, int n, double tolerance)
{
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double sum = 0;
            for (int k = 0; k < n; ++k) sum += original[4 * r + k] * inverse[4 * k + c];
            EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, tolerance) << r << "," << c;
        }
}

bool identityBlock(const Matrix4& m, int n)
{
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            if (m[4 * r + c] != (r == c ? 1.0 : 0.0)) return false;
    return true;
}

TEST(InvertMatrix, InvertsWithoutExchange)
{
    Matrix4 a = block(2, {2, 1, 1, 3});
    Matrix4 inv = filled(SENTINEL);
    EXPECT_EQ(invertMatrix(a, inv, 2), 1);
    EXPECT_NEAR(inv[0], 0.6, 1e-15);
    EXPECT_NEAR(inv[1], -0.2, 1e-15);
    EXPECT_NEAR(inv[4], -0.2, 1e-15);
    EXPECT_NEAR(inv[5], 0.4, 1e-15);
}

TEST(InvertMatrix, ExchangesRowsForAZeroLeadingEntry)
{
    Matrix4 a = block(2, {0, 1, 1, 0});
    Matrix4 inv = filled(SENTINEL);
    EXPECT_EQ(invertMatrix(a, inv, 2), 1);
    EXPECT_EQ(inv, block(2, {0, 1, 1, 0}));
}

TEST(InvertMatrix, ProductWithTheOriginalIsTheIdentity)
{
    const Matrix4 original = {4.17, -1.25, 0.385, 2.9, 0.72, 3.31, -2.05, 0.11,
                              -1.6, 0.93, 5.02, -0.47, 2.385, -0.66, 1.18, 3.77};
    Matrix4 a = original;
    Matrix4 inv{};
    ASSERT_EQ(invertMatrix(a, inv, 4), 1);
    expectInverse(original, inv, 4, 1e-14);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(a[5 * k], 1.0);
}

// Row 1 relative to its own size is the better pivot (ratio 1 against 0.001) although its entry
// is the smaller: scaled pivoting takes it, and the absolute threshold then refuses it.
TEST(InvertMatrix, ChoosesByScaledSizeAndTestsTheAbsolutePivot)
{
    Matrix4 a = block(2, {1, 1000, 5e-7, 1e-9});
    Matrix4 inv = filled(SENTINEL);
    EXPECT_EQ(invertMatrix(a, inv, 2), 0);
    EXPECT_EQ(inv, block(2, {0, 1, 1, 0}));  // the exchange of step 0 has been made
    EXPECT_EQ(a, block(2, {5e-7, 1e-9, 1, 1000}));
}

// Step 0 exchanges rows 0 and 2. In step 1 the row now at position 2, (0, 1, 1e9), is judged
// with the factor 1 computed for position 2 on entry: ratio 1 beats 1e-7 and the pivot is 1.
// Had its own factor 1e9 travelled with it, the tiny pivot 1e-7 would have been chosen and
// refused.
TEST(InvertMatrix, ScaleFactorsStayWithTheRowPositions)
{
    const Matrix4 original = block(3, {0, 1, 1e9, 0, 1e-7, 1, 1, 0, 0});
    Matrix4 a = original;
    Matrix4 inv{};
    ASSERT_EQ(invertMatrix(a, inv, 3), 1);
    expectInverse(original, inv, 3, 1e-6);
}

TEST(InvertMatrix, ThreeByThreeWithTwoExchanges)
{
    const Matrix4 original = block(3, {1, 100, 0, 0, 1, 1, 2, 1, 0});
    Matrix4 a = original;
    Matrix4 inv{};
    ASSERT_EQ(invertMatrix(a, inv, 3), 1);
    const double expected[9] = {-1.0 / 199, 0, 100.0 / 199, 2.0 / 199, 0, -1.0 / 199, -2.0 / 199, 1, 1.0 / 199};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(inv[4 * r + c], expected[3 * r + c], 1e-15);
}

TEST(InvertMatrix, SmallPivotBeforeTheLastStepLeavesTheIdentity)
{
    Matrix4 a = block(2, {1e-7, 0, 0, 1e-7});
    const Matrix4 before = a;
    Matrix4 inv = filled(SENTINEL);
    EXPECT_EQ(invertMatrix(a, inv, 2), 0);
    EXPECT_TRUE(identityBlock(inv, 2));
    EXPECT_EQ(a, before);
}

TEST(InvertMatrix, NaNRatioOfAZeroRowIsNeverChosenNorBeaten)
{
    Matrix4 a = block(2, {0, 0, 1, 1});
    Matrix4 inv = filled(SENTINEL);
    EXPECT_EQ(invertMatrix(a, inv, 2), 0);
    EXPECT_TRUE(identityBlock(inv, 2));
}

TEST(InvertMatrix, ZeroPivotInTheLastStepGoesUndetected)
{
    Matrix4 a = block(2, {1, 2, 2, 4});
    Matrix4 inv{};
    EXPECT_EQ(invertMatrix(a, inv, 2), 1);
    EXPECT_EQ(inv[4], -INFINITY);
    EXPECT_EQ(inv[5], INFINITY);
    EXPECT_TRUE(std::isnan(inv[0]));
    EXPECT_TRUE(std::isnan(inv[1]));
}

TEST(InvertMatrix, SizeOneHasNoPivotTest)
{
    Matrix4 a = block(1, {4});
    Matrix4 inv{};
    EXPECT_EQ(invertMatrix(a, inv, 1), 1);
    EXPECT_EQ(inv[0], 0.25);
    a = block(1, {0});
    EXPECT_EQ(invertMatrix(a, inv, 1), 1);
    EXPECT_EQ(inv[0], INFINITY);
}

TEST(MatrixKernels, SizeTwoLeavesEverythingOutsideTheLeadingBlock)
{
    Matrix4 a = block(2, {2.385, -1.1, 0.7, 3.3});
    Matrix4 inv = filled(SENTINEL);
    ASSERT_EQ(invertMatrix(a, inv, 2), 1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (r >= 2 || c >= 2) {
                EXPECT_EQ(a[4 * r + c], SENTINEL);
                EXPECT_EQ(inv[4 * r + c], SENTINEL);
            }
    Vector4 out = {SENTINEL, SENTINEL, SENTINEL, SENTINEL};
    multiplyMatrixVector(block(2, {1, 2, 3, 4}), {5, 6, SENTINEL, SENTINEL}, out, 2);
    EXPECT_EQ(out, (Vector4{17, 39, SENTINEL, SENTINEL}));
}

TEST(MatrixKernels, IdentityTimesVectorIsTheVector)
{
    Matrix4 identity{};
    for (int k = 0; k < 4; ++k) identity[5 * k] = 1.0;
    const Vector4 v = {2.385, -0.125, 1e-300, -7.5e12};
    Vector4 out{};
    multiplyMatrixVector(identity, v, out, 4);
    EXPECT_EQ(out, v);
}

TEST(MatrixKernels, RowMaximumPassesOverNaN)
{
    double scale[4] = {};
    rowMaxAbs(block(2, {NAN, -3, 0, 0}), scale, 0, 2);
    rowMaxAbs(block(2, {NAN, -3, 0, 0}), scale, 1, 2);
    EXPECT_EQ(scale[0], 3.0);
    EXPECT_EQ(scale[1], 0.0);
}

}  // namespace
