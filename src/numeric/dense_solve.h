// Solving a small dense linear system in place, for Newton steps whose size depends on the phases
// taking part (up to some tens of unknowns).
#pragma once

// Solves a x = b for x by Gaussian elimination with partial pivoting: a is n x n, row-major, and
// is destroyed; b is overwritten by x. False where a pivot is zero or not finite.
bool solveDense(double* a, double* b, int n);
