// Gaussian elimination with partial pivoting on a row-major matrix.
#include "numeric/dense_solve.h"

#include <cmath>

bool solveDense(double* a, double* b, int n)
{
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        for (int r = k + 1; r < n; ++r)
            if (std::fabs(a[r * n + k]) > std::fabs(a[pivot * n + k])) pivot = r;
        const double p = a[pivot * n + k];
        if (!(std::fabs(p) > 0) || !std::isfinite(p)) return false;
        if (pivot != k) {
            for (int c = 0; c < n; ++c) {
                const double held = a[k * n + c];
                a[k * n + c] = a[pivot * n + c];
                a[pivot * n + c] = held;
            }
            const double held = b[k];
            b[k] = b[pivot];
            b[pivot] = held;
        }
        for (int r = k + 1; r < n; ++r) {
            const double factor = a[r * n + k] / p;
            if (factor == 0) continue;
            for (int c = k; c < n; ++c) a[r * n + c] -= factor * a[k * n + c];
            b[r] -= factor * b[k];
        }
    }
    for (int k = n - 1; k >= 0; --k) {
        double sum = b[k];
        for (int c = k + 1; c < n; ++c) sum -= a[k * n + c] * b[c];
        b[k] = sum / a[k * n + k];
    }
    return true;
}
