// The whole stable phase diagram of a binary system between two temperatures, found without
// being told what to expect: the sections every few kelvin, each change between two of them
// narrowed by bisection to the reaction it is (an invariant of three phases, a congruent point, a
// critical point of a miscibility gap, a transition of a pure element), and each reaction solved
// to the precision of the arithmetic.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "equilibrium/binary_section.h"

enum class ReactionKind {
    EUTECTIC,     // L -> S1 + S2 on cooling
    MONOTECTIC,   // L1 -> L2 + S
    EUTECTOID,    // S1 -> S2 + S3
    MONOTECTOID,  // S1 -> S1' + S2, across a gap of S1
    METATECTIC,   // S1 -> L + S2
    PERITECTIC,   // L + S1 -> S2
    PERITECTOID,  // S1 + S2 -> S3
    SYNTECTIC,    // L1 + L2 -> S
    OTHER,
};

const char* reactionName(ReactionKind kind);

// An invariant reaction: three phases in increasing x, the middle one forming or decomposing.
struct Invariant {
    ReactionKind kind;
    bool decomposes;  // the middle phase is stable above and decomposes on cooling
    double T;
    PhaseState state[3];
    double x[3];
};

enum class SpecialKind {
    CONGRUENT,   // two phases of one composition: a maximum or minimum of their field
    CRITICAL,    // a miscibility gap closes
    PURE,        // a pure element melts or transforms (x 0 or 1)
};

struct SpecialPoint {
    SpecialKind kind;
    double T;
    double x;
    int phase[2];  // the phase stable above, then the one below (for CRITICAL both the gap's phase)
};

// The boundaries of one two-phase field, from the top down: the tie-line at each temperature.
struct FieldRow {
    double T;
    double x[2];
    PhaseState state[2];
    double mu[2];
};

struct Field {
    int phase[2];
    int occurrence;  // 1, or 2 and up for a second field of the same pair at a lower x
    std::vector<FieldRow> rows;
};

// A section as the diagram keeps it: its temperature, the phases at the ends, and its tie-lines,
// phases and compositions in increasing x; the single-phase fields lie between them.
struct SectionSummary {
    double T;
    int endPhase[2];
    std::vector<std::pair<int, int>> phases;
    std::vector<std::pair<double, double>> x;
};

struct BinaryDiagram {
    double lowest;   // K
    double highest;  // K
    std::vector<Invariant> invariants;     // by decreasing T
    std::vector<SpecialPoint> points;      // by decreasing T
    std::vector<Field> fields;
    std::vector<SectionSummary> sections;  // every section computed, by decreasing T
    int unresolved = 0;  // changes between sections that could not be told apart, and unsolved hull edges
    std::vector<double> unresolvedAt;  // K: where a change between sections was none of the kinds known
};

// The sections' spacing of a whole diagram (K): the changes between them are found by bisection.
inline constexpr double DIAGRAM_STEP = 5.0;

// The diagram between T0 and T1 (K), sections every `step` K, reactions to 1e-9 K. False where the
// system's parameters are undefined at some temperature of the range (the reason kept by the
// system's parameter source).
bool computeBinaryDiagram(const BinarySystem& system, double T0, double T1, double step, BinaryDiagram& diagram);

// The highest temperature at which either pure element is solid (K, to 1e-4 K; NaN where neither
// is below 6000 K), scanned every 25 K from 300 K up to 1500 K above the last solid found: the
// top of a diagram is 50 K above it. False where the parameters are undefined at some temperature.
bool highestMeltingPoint(const BinarySystem& system, double& T);

// The top of a whole diagram (K): 50 K above the highest melting point of the pure elements (2000 K
// where neither is ever solid); where a compound melts higher, the sections every 50 K above it go
// on until one holds no solid (a liquid gap may reach higher), and the top lies 50 K above that. False where the parameters are undefined at some temperature.
bool diagramTop(const BinarySystem& system, double& T);

// Whether the field is stable at T (K): between two of its rows no further apart than the
// sections' step (a field that leaves off and comes back is not covered between).
bool fieldCovers(const Field& field, double T);

// The tie-line at T of the field of `row`, by Newton's method from the row's states and potentials;
// false where it does not converge. `at` is evaluated at T unless it already holds the system at T.
bool tieLineFromRow(const BinarySystem& system, SystemAt& at, const FieldRow& row, double T, StableTieLine& line);

// The field's tie-line at T where it covers T, continued by Newton's method from the row nearest
// in temperature; false where it does not cover T or the solve fails. `at` is evaluated at T
// unless it already holds the system at T.
bool fieldTieLineAt(const BinarySystem& system, SystemAt& at, const Field& field, double T, StableTieLine& line);
