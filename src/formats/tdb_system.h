// A binary system of a liquid and two solid solutions taken from a TDB database: its two elements
// (x the mole fraction of the second), its three phases with their pure-element terms and their
// Redlich-Kister interactions of any order, and the Gibbs energy of each phase with its slope in
// x, as the database defines them.
//
// What the models here do not hold stops the choice with one line naming the file, the line and
// the feature: a database of other than two elements, a phase named that it lacks, a magnetic
// contribution (a magnetic type definition with TC or BMAGN parameters; without them it adds
// nothing and is accepted), more than one sublattice that holds the elements, a parameter of
// three elements.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"
#include "formats/tdb_reader.h"
#include "model/phase_curve.h"


struct TdbInteraction {
    int order;
    double sign;  // -1 for an odd order written in the order (second element, first element)
    const TdbPiecewise* value;
};

struct TdbSystemPhase {
    std::string name;
    double sites;                    // of the sublattice that holds the elements
    const TdbPiecewise* pure[2];     // G of each element alone in the phase, per formula unit
    std::vector<TdbInteraction> interactions;
};

struct TdbSystem {
    std::string elements[2];          // x counts elements[1]
    TdbSystemPhase phases[3];         // the liquid first, then the two solids in the file's order
    std::vector<std::string> leftOut;  // the database's phases not chosen
};

// Chooses the system: the database's two elements, x the mole fraction of the second in
// alphabetical order; the phases named in `phases` (a liquid and two solids), or, with none named,
// the database's three where it holds exactly three.
// With `element` given (upper case), x is the mole fraction of that one instead.
bool chooseTdbSystem(const TdbDatabase& database, const std::vector<std::string>& phases, TdbSystem& system,
                     ErrorText& error, const std::string& element = "");

// The phase's curve at T (K): its pure terms and Redlich-Kister coefficients per mole of atoms,
// each with its slope in T, turned where the file writes them for the reverse order, with the
// databases' gas constant; what a solver needs at a temperature, evaluated once. Fails naming
// the file, the line and the parameter where T lies outside its ranges, or its order is above
// MAX_CURVE_ORDER.
bool tdbPhaseCurve(const TdbDatabase& database, const TdbSystemPhase& phase, double T, PhaseCurve& curve,
                   ErrorText& error);

// Both at once: G of a phase at x and T, and dG/dx at fixed T.
bool tdbGibbsEnergy(const TdbDatabase& database, const TdbSystemPhase& phase, double x, double T, double& G,
                    double& slope, ErrorText& error);

// The temperatures at which every term of the system is defined (K): the overlap of the ranges of
// its parameters and of the functions they use, with the terms that bound it (`lowBound` and
// `highBound` point to them). Fails naming the file and the line where the ranges do not overlap
// or where functions refer to each other in a circle.
struct TdbRange {
    double lowest;
    double highest;
    const TdbPiecewise* lowBound;
    const TdbPiecewise* highBound;
};

bool tdbTemperatureRange(const TdbDatabase& database, const TdbSystem& system, TdbRange& range, ErrorText& error);

// The system as the solvers' source of curves within `range`: the liquid, then the two solids in
// the system's order, with the gas constant given here (TDB_GAS_CONSTANT as the databases mean
// it). The database, the system and the model must outlive the source.
struct TdbModel {
    const TdbDatabase* database;
    const TdbSystem* system;
    double gasConstant;  // J/(mol K)
};

CurveSource tdbCurveSource(const TdbModel& model, const TdbRange& range);

// What a program holds for a database named on its command line: the database read, its system
// chosen with `phases` (names separated by commas, any case; empty: the database's three) and x
// the mole fraction of `element` (any case; empty: the second in alphabetical order), the
// temperatures its terms hold, and the model the solvers take from it. Not copied: the model
// points into it.
struct LoadedTdb {
    TdbDatabase database;
    TdbSystem system;
    TdbRange range;
    TdbModel model;
    std::string symbols[2];  // the elements as chemistry writes them: "Pb", "Sn"

    LoadedTdb() = default;
    LoadedTdb(const LoadedTdb&) = delete;
    LoadedTdb& operator=(const LoadedTdb&) = delete;
};

bool loadTdb(const char* path, const std::string& phases, LoadedTdb& loaded, ErrorText& error,
             const std::string& element = "");

// The source of curves of a loaded database over all its temperatures.
inline CurveSource curveSourceOf(const LoadedTdb& loaded) { return tdbCurveSource(loaded.model, loaded.range); }

