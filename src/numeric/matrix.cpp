// Gauss-Jordan inversion with scaled partial pivoting and its row operations, on the leading
// n x n block of row-stride-4 storage.
#include "numeric/matrix.h"

#include <cmath>

namespace {

constexpr double PIVOT_THRESHOLD = 1e-6;

double& at(Matrix4& m, int row, int col) { return m[4 * row + col]; }
double at(const Matrix4& m, int row, int col) { return m[4 * row + col]; }

}  // namespace

void rowMaxAbs(const Matrix4& m, double* scale, int row, int n)
{
    double largest = 0.0;
    for (int c = 0; c < n; ++c) {
        const double magnitude = std::fabs(at(m, row, c));
        if (magnitude > largest) largest = magnitude;
    }
    scale[row] = largest;
}

void swapRows(Matrix4& m, int first, int second, int n)
{
    for (int c = 0; c < n; ++c) {
        const double held = at(m, first, c);
        at(m, first, c) = at(m, second, c);
        at(m, second, c) = held;
    }
}

void addScaledRow(Matrix4& m, int source, int target, double factor, int n)
{
    for (int c = 0; c < n; ++c) at(m, target, c) = factor * at(m, source, c) + at(m, target, c);
}

void normalizePivotRow(Matrix4& a, Matrix4& inv, int k, int n)
{
    const double pivot = at(a, k, k);
    for (int c = 0; c < n; ++c) at(inv, k, c) = at(inv, k, c) / pivot;
    at(a, k, k) = pivot / pivot;
}

int invertMatrix(Matrix4& a, Matrix4& inv, int n)
{
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) at(inv, r, c) = r == c ? 1.0 : 0.0;

    // Computed once from the rows as they stand on entry; an exchange below moves the rows but
    // not their scale factors.
    double scale[4];
    for (int r = 0; r < n; ++r) rowMaxAbs(a, scale, r, n);

    for (int k = 0; k < n; ++k) {
        // A NaN ratio is never chosen and, held by p, never beaten: the comparison is false.
        int p = k;
        for (int j = k + 1; j < n; ++j)
            if (std::fabs(at(a, j, k)) / scale[j] > std::fabs(at(a, p, k)) / scale[p]) p = j;
        if (p != k) {
            swapRows(a, k, p, n);
            swapRows(inv, k, p, n);
        }
        for (int j = k + 1; j < n; ++j) {
            if (!(std::fabs(at(a, k, k)) >= PIVOT_THRESHOLD)) return 0;
            const double f = at(a, j, k) / at(a, k, k);
            addScaledRow(a, k, j, -f, n);
            addScaledRow(inv, k, j, -f, n);
        }
    }

    for (int k = n - 1; k >= 0; --k) {
        normalizePivotRow(a, inv, k, n);
        for (int j = k - 1; j >= 0; --j) {
            const double f = at(a, j, k) / at(a, k, k);
            addScaledRow(a, k, j, -f, n);
            addScaledRow(inv, k, j, -f, n);
        }
    }
    return 1;
}

void multiplyMatrixVector(const Matrix4& m, const Vector4& v, Vector4& out, int n)
{
    for (int i = 0; i < n; ++i) {
        double s = 0.0;
        for (int j = 0; j < n; ++j) s = at(m, i, j) * v[j] + s;
        out[i] = s;
    }
}
