// A binary system as CALPHAD databases model it (the compound energy formalism): each phase a
// set of sublattices with their sites, each sublattice holding some of the two elements and
// vacancies, and the Gibbs energy of a formula unit a sum of terms, each a parameter (a function
// of temperature) times a product of site fractions, plus ideal mixing on every sublattice and,
// for a magnetic phase, the Inden-Hillert-Jarl ordering energy.
//
// The site fractions of a phase are held in one array, sublattice after sublattice; the
// parameters' values at a temperature come from the system's `ParameterSource`, so that the
// model does not depend on where its parameters were read.
#pragma once

#include <string>
#include <vector>

inline constexpr int MAX_CONSTITUENTS = 16;  // site fractions of one phase
inline constexpr int MAX_FACTORS = 12;       // site fractions in one term
inline constexpr int MAX_FREE_SITE_FRACTIONS = 9;  // of one phase: its samples grow as 3 to this power

// What a constituent is: one of the two elements (x counts the second) or a vacancy.
enum Species : int { ELEMENT_A = 0, ELEMENT_B = 1, VACANCY = 2 };

// What a term adds to: the Gibbs energy, the Curie (or Neel) temperature or the magnetic moment.
enum TermKind : int { GIBBS_TERM = 0, CURIE_TERM = 1, MOMENT_TERM = 2 };

struct Sublattice {
    double sites;
    int first;  // its site fractions are y[first .. first + count - 1]
    int count;
};

// parameter(T) * y[factor[0]] * ... * y[factor[factors - 1]] * (y[rkFirst] - y[rkSecond])^order;
// order 0 has no Redlich-Kister factor.
struct EnergyTerm {
    TermKind kind;
    int parameter;  // index into the values at T
    int factors;
    int factor[MAX_FACTORS];
    int rkFirst;
    int rkSecond;
    int order;
    int line;       // where the database gives it, for messages
};

struct ModelPhase {
    std::string name;
    bool liquid;
    std::vector<Sublattice> sublattices;
    std::vector<Species> species;  // of each site fraction
    std::vector<EnergyTerm> terms;
    bool magnetic;
    double structureFactor;   // p: 0.40 for BCC, 0.28 for FCC and HCP
    double antiferromagnetic;  // the factor a negative TC or moment is divided by: -1 BCC, -3 FCC
    int line;
};

// The parameters' values at T (J/mol of formula units, K for TC, Bohr magnetons for the moment):
// fills values[0 .. count - 1]; false where some parameter is undefined at T, the reason then
// kept by the source's context.
struct ParameterSource {
    bool (*valuesAt)(const void* context, double T, double* values);
    const void* context;
    int count;
};

struct BinarySystem {
    std::string elements[2];  // upper case; x is the mole fraction of elements[1]
    std::vector<ModelPhase> phases;
    double gasConstant;       // J/(mol K)
    ParameterSource parameters;
    std::vector<std::string> leftOut;  // phases the two elements can form that were not chosen
};

inline int constituentCount(const ModelPhase& phase) { return static_cast<int>(phase.species.size()); }

// The number of free site fractions: one fewer than the constituents on every sublattice.
int freeVariables(const ModelPhase& phase);
