// Small dense matrix kernels for the Newton-Raphson solvers: Gauss-Jordan inversion with scaled
// partial pivoting, the matrix-vector product, and the row operations the inversion is built of.
#pragma once

#include <array>

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

// out[i] = sum over j of m[i][j] * v[j], accumulated in increasing j as product then sum;
// out must not share storage with v. Writes out[0..n-1] only.
void multiplyMatrixVector(const Matrix4& m, const Vector4& v, Vector4& out, int n);

// scale[row] = the largest |m[row][c]| for c < n, 0.0 for an all-zero row; NaN entries are
// passed over.
void rowMaxAbs(const Matrix4& m, double* scale, int row, int n);

// Exchanges entries 0..n-1 of two rows, bit for bit.
void swapRows(Matrix4& m, int first, int second, int n);

// m[target][c] = factor * m[source][c] + m[target][c] for c < n, source and target distinct.
void addScaledRow(Matrix4& m, int source, int target, double factor, int n);

// Divides row k of inv by the pivot a[k][k] as it stands on entry, then the pivot by itself.
void normalizePivotRow(Matrix4& a, Matrix4& inv, int k, int n);
