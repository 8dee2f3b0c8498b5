// The built-in Ks-Ps model as a binary system of the compound energy formalism: the liquid, BCC
// and FCC, each one sublattice of Ps and Ks (x counts Ks), their pure terms and the subregular
// interaction x (1 - x) (L0 + L1 x) written as the Redlich-Kister terms L0 + L1 / 2 of order 0
// and -L1 / 2 of order 1 in y(Ps) - y(Ks), with the model's gas constant: so that the one engine
// of any binary system computes its diagram as it computes a database's.
#pragma once

#include "model/binary_system.h"
#include "model/phase.h"

// What the system's parameter source evaluates: the model's coefficients. The system points to
// it: it must outlive the system.
struct BuiltInCoefficients {
    PhaseParameters model[3];  // Liquid, BCC, FCC
};

BinarySystem builtInSystem(const BuiltInCoefficients& coefficients);
