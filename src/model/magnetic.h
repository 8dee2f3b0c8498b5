// The Inden-Hillert-Jarl magnetic ordering energy, G_mag = R T ln(beta + 1) g(tau), tau = T / TC,
// with the polynomial g of the structure factor p (0.40 for BCC, 0.28 for FCC and HCP).
#pragma once

// g(tau) and its first two derivatives in tau, for tau > 0.
struct MagneticFunction {
    double g;
    double dg;
    double ddg;
};

MagneticFunction magneticFunction(double tau, double p);
