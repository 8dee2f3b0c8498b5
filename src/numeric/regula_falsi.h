// A root of a function of one variable bracketed by a change of sign, by the regula falsi with the
// Illinois modification (the end that stays has its value halved), which converges superlinearly
// where the plain method would creep from one side.
#pragma once

#include <functional>

// A root of f between a and b to within `tolerance` of the bracket's width; NaN where f cannot be
// evaluated (NaN) or does not change sign between a and b (a zero counts as negative).
double regulaFalsi(const std::function<double(double)>& f, double a, double b, double tolerance);
