// The magnetic ordering function g(tau) of Inden, Hillert and Jarl, below and above the critical
// temperature, with its derivatives.
#include "model/magnetic.h"

#include <cmath>

MagneticFunction magneticFunction(double tau, double p)
{
    const double A = 518.0 / 1125.0 + (11692.0 / 15975.0) * (1.0 / p - 1.0);
    if (tau <= 1) {
        const double c = (474.0 / 497.0) * (1.0 / p - 1.0);
        const double t2 = tau * tau;
        const double t3 = t2 * tau;
        const double t7 = t3 * t3 * tau;
        const double t9 = t7 * t2;
        const double t13 = t9 * t3 * tau;
        const double t15 = t13 * t2;
        const double g = 1.0 - (79.0 / (140.0 * p * tau) + c * (t3 / 6.0 + t9 / 135.0 + t15 / 600.0)) / A;
        const double dg = -(-79.0 / (140.0 * p * t2) + c * (t2 / 2.0 + t7 * tau / 15.0 + t13 * tau / 40.0)) / A;
        const double ddg = -(158.0 / (140.0 * p * t3) + c * (tau + 8.0 * t7 / 15.0 + 14.0 * t13 / 40.0)) / A;
        return {g, dg, ddg};
    }
    const double u = 1 / tau;
    const double t5 = u * u * u * u * u;
    const double t15 = t5 * t5 * t5;
    const double t25 = t15 * t5 * t5;
    const double g = -(t5 / 10.0 + t15 / 315.0 + t25 / 1500.0) / A;
    const double dg = (t5 / 2.0 + t15 / 21.0 + t25 / 60.0) / (A * tau);
    const double ddg = -(3.0 * t5 + 16.0 * t15 / 21.0 + 26.0 * t25 / 60.0) / (A * tau * tau);
    return {g, dg, ddg};
}
