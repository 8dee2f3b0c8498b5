// Cholesky factorisation, solution and inverse of small symmetric systems.
#include "numeric/symmetric.h"

#include <cmath>

int choleskyFactor(const SymmetricMatrix& a, int n, SymmetricMatrix& factor)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) factor[i][j] = 0;
    for (int j = 0; j < n; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k) d -= factor[j][k] * factor[j][k];
        if (!(d > 1e-12 * std::fabs(a[j][j])) || !(d > 0)) return j;
        factor[j][j] = std::sqrt(d);
        for (int i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (int k = 0; k < j; ++k) s -= factor[i][k] * factor[j][k];
            factor[i][j] = s / factor[j][j];
        }
    }
    return -1;
}

void choleskySolve(const SymmetricMatrix& factor, int n, const double* b, double* x)
{
    double y[MAX_UNKNOWNS];
    for (int i = 0; i < n; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k) s -= factor[i][k] * y[k];
        y[i] = s / factor[i][i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = y[i];
        for (int k = i + 1; k < n; ++k) s -= factor[k][i] * x[k];
        x[i] = s / factor[i][i];
    }
}

void choleskyInverse(const SymmetricMatrix& factor, int n, SymmetricMatrix& inverse)
{
    for (int c = 0; c < n; ++c) {
        double e[MAX_UNKNOWNS] = {};
        e[c] = 1;
        double column[MAX_UNKNOWNS];
        choleskySolve(factor, n, e, column);
        for (int r = 0; r < n; ++r) inverse[r][c] = column[r];
    }
}
