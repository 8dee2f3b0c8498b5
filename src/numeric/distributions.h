// Tail probabilities of the distributions a least-squares fit is judged by.
#pragma once

// The probability that a chi-square variable of `degrees` degrees of freedom (above 0) exceeds
// `chiSquare` (0 or more): the regularized upper incomplete gamma function Q(degrees / 2,
// chiSquare / 2), to about 1e-14 relative, down to the smallest doubles far in the tail.
double chiSquareTail(double chiSquare, double degrees);
