// Small dense matrix kernels for the Newton-Raphson solvers: Gauss-Jordan inversion with scaled
// partial pivoting, the matrix-vector product, and the row operations the inversion is built of.
#pragma once

#include <array>
#include <cmath>

// 4 x 4 doubles, row-major with a row stride of 4 whatever the problem size: entry (r, c) is
// element 4r + c. An operation of size n (1 to 4) reads and writes only the leading n x n block.
using Matrix4 = std::array<double, 16>;

// Four doubles; an operation of size n uses entries 0 to n-1.
using Vector4 = std::array<double, 4>;

// Inverts the leading n x n block of a into inv (a and inv distinct). inv is set to the identity
// first; the scale factors (largest |entry| of each row of a on entry) stay with the row
// positions through the exchanges. Returns 1 when done, 0 when a pivot of a step k < n-1 is below
// 1e-6 in magnitude or NaN; then both matrices are left as the interrupted elimination leaves
// them. A small or zero pivot in the last step is not detected. a is reduced in place.
int invertMatrix(Matrix4& a, Matrix4& inv, int n);

// Smallest pivot magnitude accepted before the last elimination step.
inline constexpr double PIVOT_THRESHOLD = 1e-6;

// out[i] = sum over j of m[i][j] * v[j], accumulated in increasing j as product then sum;
// out must not share storage with v. Writes out[0..n-1] only.
inline void multiplyMatrixVector(const Matrix4& m, const Vector4& v, Vector4& out, int n)
{
    for (int i = 0; i < n; ++i) {
        double s = 0.0;
        for (int j = 0; j < n; ++j) s = m[4 * i + j] * v[j] + s;
        out[i] = s;
    }
}

// The row operations below are inline so that the inversion, instantiated for each size, runs
// them as straight-line code.

// scale[row] = the largest |m[row][c]| for c < n, 0.0 for an all-zero row; NaN entries are
// passed over.
inline void rowMaxAbs(const Matrix4& m, double* scale, int row, int n)
{
    double largest = 0.0;
    for (int c = 0; c < n; ++c) {
        const double magnitude = std::fabs(m[4 * row + c]);
        if (magnitude > largest) largest = magnitude;
    }
    scale[row] = largest;
}

// Exchanges entries 0..n-1 of two rows, bit for bit.
inline void swapRows(Matrix4& m, int first, int second, int n)
{
    for (int c = 0; c < n; ++c) {
        const double held = m[4 * first + c];
        m[4 * first + c] = m[4 * second + c];
        m[4 * second + c] = held;
    }
}

// m[target][c] = factor * m[source][c] + m[target][c] for c < n, source and target distinct.
inline void addScaledRow(Matrix4& m, int source, int target, double factor, int n)
{
    for (int c = 0; c < n; ++c) m[4 * target + c] = factor * m[4 * source + c] + m[4 * target + c];
}

// Divides row k of inv by the pivot a[k][k] as it stands on entry, then the pivot by itself.
inline void normalizePivotRow(Matrix4& a, Matrix4& inv, int k, int n)
{
    const double pivot = a[5 * k];
    for (int c = 0; c < n; ++c) inv[4 * k + c] = inv[4 * k + c] / pivot;
    a[5 * k] = pivot / pivot;
}

// invertMatrix for a size known at compile time, so that every loop unrolls: the same
// operations in the same order.
template <int N>
int invertFixedSize(Matrix4& a, Matrix4& inv)
{
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c) inv[4 * r + c] = r == c ? 1.0 : 0.0;

    // Computed once from the rows as they stand on entry; an exchange below moves the rows but
    // not their scale factors.
    double scale[4];
    for (int r = 0; r < N; ++r) rowMaxAbs(a, scale, r, N);

    for (int k = 0; k < N; ++k) {
        // A NaN ratio is never chosen and, held by p, never beaten: the comparison is false.
        int p = k;
        for (int j = k + 1; j < N; ++j)
            if (std::fabs(a[4 * j + k]) / scale[j] > std::fabs(a[4 * p + k]) / scale[p]) p = j;
        if (p != k) {
            swapRows(a, k, p, N);
            swapRows(inv, k, p, N);
        }
        for (int j = k + 1; j < N; ++j) {
            if (!(std::fabs(a[5 * k]) >= PIVOT_THRESHOLD)) return 0;
            const double f = a[4 * j + k] / a[5 * k];
            addScaledRow(a, k, j, -f, N);
            addScaledRow(inv, k, j, -f, N);
        }
    }

    for (int k = N - 1; k >= 0; --k) {
        normalizePivotRow(a, inv, k, N);
        for (int j = k - 1; j >= 0; --j) {
            const double f = a[4 * j + k] / a[5 * k];
            addScaledRow(a, k, j, -f, N);
            addScaledRow(inv, k, j, -f, N);
        }
    }
    return 1;
}

// The 2 x 2 case written out on scalars, so that the matrices can live in registers: exactly
// the operations of the general algorithm, in its order (one pivot choice and one pivot test,
// in step 0; the back substitution of rows 1 and 0).
template <>
inline int invertFixedSize<2>(Matrix4& a, Matrix4& inv)
{
    double a00 = a[0], a01 = a[1], a10 = a[4], a11 = a[5];
    double i00 = 1.0, i01 = 0.0, i10 = 0.0, i11 = 1.0;
    double s0 = 0.0, s1 = 0.0;
    if (std::fabs(a00) > s0) s0 = std::fabs(a00);
    if (std::fabs(a01) > s0) s0 = std::fabs(a01);
    if (std::fabs(a10) > s1) s1 = std::fabs(a10);
    if (std::fabs(a11) > s1) s1 = std::fabs(a11);

    int status = 1;
    if (std::fabs(a10) / s1 > std::fabs(a00) / s0) {
        double held = a00;
        a00 = a10;
        a10 = held;
        held = a01;
        a01 = a11;
        a11 = held;
        i00 = 0.0;
        i01 = 1.0;
        i10 = 1.0;
        i11 = 0.0;
    }
    if (!(std::fabs(a00) >= PIVOT_THRESHOLD)) {
        status = 0;
    } else {
        double f = a10 / a00;
        a10 = -f * a00 + a10;
        a11 = -f * a01 + a11;
        i10 = -f * i00 + i10;
        i11 = -f * i01 + i11;

        double pivot = a11;
        i10 = i10 / pivot;
        i11 = i11 / pivot;
        a11 = pivot / pivot;
        f = a01 / a11;
        a00 = -f * a10 + a00;
        a01 = -f * a11 + a01;
        i00 = -f * i10 + i00;
        i01 = -f * i11 + i01;

        pivot = a00;
        i00 = i00 / pivot;
        i01 = i01 / pivot;
        a00 = pivot / pivot;
    }
    a[0] = a00;
    a[1] = a01;
    a[4] = a10;
    a[5] = a11;
    inv[0] = i00;
    inv[1] = i01;
    inv[4] = i10;
    inv[5] = i11;
    return status;
}
