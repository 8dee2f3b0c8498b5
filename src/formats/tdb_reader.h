// Reading a thermodynamic database in the TDB text format of CALPHAD programs: its elements, its
// functions of temperature, its phases with their sublattices and constituents, and the
// parameters of their Gibbs energies, each expression kept as a small program to evaluate at any
// temperature. What the format holds beyond that (type definitions, defaults, references, the
// database's information) is read and left aside, except what changes the Gibbs energy: a
// magnetic type definition is recorded on the phases that carry it.
//
// The format: statements of a keyword and its fields, each ended by "!", over as many lines as
// they need; "$" starts a comment to the end of the line; keywords in any case and abbreviated
// (FUNCT for FUNCTION, TYPE_DEF for TYPE_DEFINITION); an expression of numbers, T, functions
// (named with or without a trailing "#"), R (the gas constant) and P (the pressure), + - * / **,
// parentheses, LN (or LOG) and EXP, valid in temperature ranges: "low expression; high Y
// expression; high N".
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"

// One step of an expression, evaluated on a stack.
struct TdbStep {
    enum Kind { NUMBER, TEMPERATURE, GAS, PRESSURE, FUNCTION, ADD, SUBTRACT, MULTIPLY, DIVIDE, POWER, NEGATE, LN, EXP } kind;
    double number;  // NUMBER
    int function;   // FUNCTION: index into TdbDatabase::functions
};

// A function of temperature in ranges: expression k holds from the end of range k - 1 (from
// `low` for the first) up to and including high[k].
struct TdbPiecewise {
    double low;                                // K
    std::vector<double> high;                  // K
    std::vector<std::vector<TdbStep>> ranges;  // the expressions, in postfix order
    std::string what;                          // its name, as an error names it
    int line;                                  // where its statement starts
};

// The gas constant of the programs that write TDB databases (J/(mol K)).
inline constexpr double TDB_GAS_CONSTANT = 8.31451;

struct TdbElement {
    std::string name;       // upper case, as all names here
    std::string reference;  // its stable structure, e.g. FCC_A1
    double mass;            // g/mol, 0 where the file gives none
    double entropy;         // S at 298.15 K, J/(mol K), 0 where the file gives none
};

struct TdbFunction {
    std::string name;
    TdbPiecewise value;
};

struct TdbPhase {
    std::string name;                                   // without a ":L"-like suffix
    std::vector<double> sites;                          // per sublattice
    std::vector<std::vector<std::string>> constituents;  // per sublattice, "%" markers taken off
    bool magnetic;                                      // a magnetic type definition applies
    bool liquid;                                        // declared with the suffix ":L", or named LIQUID
    int line;
    double antiferromagnetic = 0;  // of the magnetic type definition: -1 for BCC, -3 for FCC
    double structureFactor = 0;    // p: 0.40 for BCC, 0.28 for FCC
    bool disorderedPart = false;   // a type definition gives it a disordered part
    bool ionic = false;            // declared with ":Y", an ionic liquid
};

// A parameter of a phase: G or L (the same thing for interactions), TC, BMAGN and so on as the
// file names it; the constituents per sublattice in the file's order; the Redlich-Kister order.
struct TdbParameter {
    std::string kind;
    std::string phase;
    std::vector<std::vector<std::string>> constituents;
    int order;
    TdbPiecewise value;
};

struct TdbDatabase {
    std::string path;
    double gasConstant = 8.31451;  // J/(mol K): R in an expression
    double pressure = 1e5;         // Pa: P in an expression
    std::vector<TdbElement> elements;
    std::vector<std::string> species;  // declared with SPECIES: constituents besides the elements
    std::vector<TdbFunction> functions;
    std::vector<TdbPhase> phases;
    std::vector<TdbParameter> parameters;
};

// Reads the database. Fails with one line naming the file, the line and the reason: an
// unknown keyword, a statement without its closing "!", a number or an expression that cannot be
// read, a function used but never defined, a phase declared twice.
bool readTdb(const char* path, TdbDatabase& database, ErrorText& error);

// The value of a piecewise function at T (K), references to the database's functions evaluated
// at the same T. Fails naming the file, the line, the function and T where T lies outside every
// range of it or of a function it uses, where it takes LN of a number not above 0 or its value is
// not finite, or where functions refer to each other in a circle.
bool evaluateTdb(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result, ErrorText& error);

// The same with its derivative in T (J/(mol K) for a Gibbs energy: minus the entropy), exact by
// differentiating each step of the expressions.
bool evaluateTdb(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result, double& slope,
                 ErrorText& error);

// The same with each function's first range taken below its lowest temperature and its last
// above its highest, as CALPHAD programs evaluate a database beyond the ranges it states (COST 507
// gives unassessed terms up to 300 K only, and nickel's functions up to its melting point).
// `cache`, where given, has a place per function of the database, NaN where not yet evaluated at
// this T: a function that many parameters use is then evaluated once.
bool evaluateTdbExtended(const TdbDatabase& database, const TdbPiecewise& value, double T, double& result,
                         ErrorText& error, double* cache = nullptr);

// An element's name as chemistry writes it: "PB" is "Pb".
std::string chemicalSymbol(const std::string& name);

// The index of the function named `name` (upper case), or -1.
int findTdbFunction(const TdbDatabase& database, const std::string& name);

// The masses of the two elements (g/mol) that the database gives; false where it gives no mass of
// either.
bool elementMasses(const TdbDatabase& database, const std::string (&elements)[2], double (&masses)[2]);

// The weight fraction of the second of two elements of `masses` at its mole fraction x.
inline double weightOf(const double (&masses)[2], double x)
{
    return x * masses[1] / ((1 - x) * masses[0] + x * masses[1]);
}

// The mole fraction of the second of two elements of `masses` at its weight fraction w.
inline double moleFractionAtWeight(const double (&masses)[2], double w)
{
    return (w / masses[1]) / ((1 - w) / masses[0] + w / masses[1]);
}

// The weight fraction of elements[1] in an alloy of mole fraction x of it, and the mole fraction
// of a weight fraction w, from the masses the database gives; false where it gives no mass of
// either element.
bool weightFraction(const TdbDatabase& database, const std::string (&elements)[2], double x, double& w);
bool moleFractionOfWeight(const TdbDatabase& database, const std::string (&elements)[2], double w, double& x);
