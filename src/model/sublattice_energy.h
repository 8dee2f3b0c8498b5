// The Gibbs energy of a formula unit of a phase of the compound energy formalism at given site
// fractions, with its gradient and Hessian in the site fractions (each taken as independent: the
// sums on the sublattices are the caller's constraints), in three parts: the terms, the magnetic
// ordering energy, and ideal mixing, which the equilibrium solvers treat on their own because in
// log-ratio coordinates it is linear.
#pragma once

#include "model/binary_system.h"

// A term's product of site fractions (without its parameter).
double termMonomial(const EnergyTerm& term, const double* y);

// The energy of the terms and of magnetic ordering (J per formula unit) at T (K) with the gas
// constant R, from the terms' monomials as termMonomial gives them: for sampling a phase at many
// states whose monomials are kept.
double energyOfMonomials(const ModelPhase& phase, const double* values, double T, double R, const double* monomials);

// The same at site fractions y; with gradient (n) and hessian (n x n, row-major), n the phase's
// constituents, where these are not null: both are overwritten.
double nonIdealEnergy(const ModelPhase& phase, const double* values, double T, double R, const double* y,
                      double* gradient, double* hessian);

// sum over sublattices of sites * sum y ln y, from the logarithms of y given to full precision.
double idealMixing(const ModelPhase& phase, const double* y, const double* lnY);

// The moles of each element in a formula unit at y.
void atomsOf(const ModelPhase& phase, const double* y, double& nA, double& nB);

// Where the phase's composition is one free site fraction: its one sublattice of both elements
// (every other sublattice a single constituent), with the site fractions of the first element (a)
// and the second (b) on it; false otherwise.
bool mixingSublattice(const ModelPhase& phase, int& a, int& b, double& sites);
