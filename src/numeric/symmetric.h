// Symmetric positive (semi)definite systems of up to 12 unknowns, as least squares gives them:
// the Cholesky factorisation with a test of each pivot against the diagonal it came from, so that
// a direction the data do not fix is found and named rather than solved into noise.
#pragma once

inline constexpr int MAX_UNKNOWNS = 12;

using SymmetricMatrix = double[MAX_UNKNOWNS][MAX_UNKNOWNS];

// Factorises the leading n x n block of a (a = L L^T, L into `factor`). Returns -1 when done,
// else the first index k whose pivot falls below 1e-12 of a[k][k] (the k-th unknown is, to
// rounding, a combination of the ones before it), or is not positive.
int choleskyFactor(const SymmetricMatrix& a, int n, SymmetricMatrix& factor);

// Solves L L^T x = b with a factor from choleskyFactor; b and x may be the same array.
void choleskySolve(const SymmetricMatrix& factor, int n, const double* b, double* x);

// The inverse of L L^T into `inverse`.
void choleskyInverse(const SymmetricMatrix& factor, int n, SymmetricMatrix& inverse);
