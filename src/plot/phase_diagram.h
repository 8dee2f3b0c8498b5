// What "PhaseDiagram.svg" says, decided before anything is drawn: the temperature axis, the named
// phase fields, the pieces of each boundary line with their stability (the tables' Valid rows,
// completed from the model where the tables lack a stable tie-line), the bands of
// phasediagram-uncertainty, the stable eutectic, and the notes on what is missing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "equilibrium/stable_diagram.h"
#include "formats/band_files.h"
#include "formats/boundary_points.h"
#include "formats/result_tables.h"
#include "model/phase.h"
#include "plot/diagram_names.h"
#include "plot/field_labels.h"

// Neighbouring rows of one line whose compositions differ by more than this belong to different
// roots of the equations, and the line breaks between them.
inline constexpr double JUMP_LIMIT = 0.02;

// A measured boundary point to draw over the diagram.
enum MeasuredKind { LIQUIDUS_POINT, SOLIDUS_POINT, SOLVUS_POINT, EUTECTIC_ARREST };

struct MeasuredMark {
    double x;          // mole fraction of Ks
    double T;          // K
    int pair;          // PhasePair - 1, or -1 for a eutectic arrest
    MeasuredKind kind;
    bool outsideBand;  // outside the 95 % band of the computed value
};

// A measured point as the picture draws it: where it was measured, marked by kind (the measured
// phase a liquid, a solid against the liquid, a solid against the other solid, or an arrest), and
// whether it lies outside the band of its computed value. An arrest without a composition is
// drawn at the computed liquid's.
MeasuredMark measuredMark(const PointResidual& residual);

// What the picture is drawn from.
struct DiagramData {
    BoundaryTable tables[3];  // Liquid/FCC, Liquid/BCC, BCC/FCC (PhasePair - 1)
    EutecticPoint eutectic;
    PhaseParameters model[3];  // Liquid, BCC, FCC
    BandTable bands[3];        // of phasediagram-uncertainty, where present
    EutecticBand eutecticBand;
    std::string fingerprint;   // of the data files here: bands carrying another are not drawn
    std::vector<MeasuredMark> measured;  // measured boundary points, where a file holds them
    bool rangeGiven = false;   // the temperature axis, else that of the tables
    double low = 0;            // K
    double high = 0;
};

// A piece of boundary line: points (x, T) and whether the equilibria along it are stable.
struct BoundarySegment {
    std::vector<std::pair<double, double>> points;
    bool stable;
};

// One piece of line of the picture, with the pair (PhasePair - 1) it belongs to.
struct DiagramLine {
    int pair;
    BoundarySegment segment;
};

// A shaded 95 % band of one composition column: the outline (x, T), low ends upwards, then high
// ends downwards.
struct BandArea {
    int pair;
    std::vector<std::pair<double, double>> outline;
};

// The eutectic as drawn: the three-phase line from FCC to BCC with the liquid's point, and the
// 95 % interval of its temperature where the band holds one.
struct EutecticMark {
    bool shown;
    bool stable;
    double T;
    double xL;
    double xBCC;
    double xFCC;
    bool interval;
    double low;   // K
    double high;
    std::string label;
};

// Temperatures at which the picture completed a table: a stretch with no Valid row where the
// hull of the curves shows the pair's two phases side by side.
struct CompletedStretch {
    int pair;  // PhasePair
    int from;  // K, inclusive
    int to;
};

struct PhaseDiagram {
    DiagramNames names = builtInNames();
    bool celsius = false;  // a second temperature axis in degrees Celsius
    double low;  // K at the bottom and the top of the temperature axis
    double high;
    bool haveRows;
    std::vector<FieldLabel> fields;
    std::vector<BandArea> bands;
    std::vector<DiagramLine> lines;  // by pair, then column, then temperature
    // Lines of another model drawn beneath, grey and dashed, for comparison, and their legend.
    std::vector<DiagramLine> reference;
    std::string referenceLabel;
    EutecticMark eutectic;
    std::vector<MeasuredMark> measured;  // those within the axis
    std::vector<std::string> notes;  // one sentence each
};

// Decides everything the picture shows. Says in a note when a table or band file holds no rows,
// when Valid rows of a table do not solve the model of the data (tables from other data: then
// none of that table's rows is drawn, but the model's stable boundaries in their place), and when
// band files carry another fingerprint than the data (then draws no bands).
void describePhaseDiagram(const DiagramData& data, const StableDiagram& stable, PhaseDiagram& diagram);

// Copies the tables into `completed` and replaces each row that is not Valid, at a temperature
// where the pair has a stable tie-line, by that tie-line of the stable diagram, the one continued
// from the nearest Valid row (each half of a gap from its own side) where there are several.
void completeBoundaries(const DiagramData& data, const StableDiagram& stable, BoundaryTable (&completed)[3],
                        std::vector<CompletedStretch>& stretches);

// The band files of `data` that were computed from the data here (same fingerprint), the others
// left empty. True when some band file came from other data or carries no fingerprint.
bool bandsOfTheData(const DiagramData& data, BandTable (&bands)[3], EutecticBand& eutecticBand);

// The number of Valid rows of a table that the pair's equations of the model do not solve: the
// Newton refinement from the row's compositions ends more than 5e-6 away from them, or fails.
int rowsNotSolved(const PhaseParameters (&model)[3], PhasePair pair, const BoundaryTable& table);

// Whether each row of each table is a stable equilibrium (false for Invalid rows).
void classifyRows(const DiagramData& data, std::vector<bool> (&stable)[3]);

// The pieces of line of one composition column (0 or 1) of a table: Valid rows only, broken at
// Invalid rows, at missing temperatures and at jumps; a change between stable and metastable
// starts a new piece at the last point of the previous one.
std::vector<BoundarySegment> boundarySegments(const BoundaryTable& table, int column, const std::vector<bool>& stable);

// The eutectic as a three-phase equilibrium: stable when every phase lies on or above the line
// through the FCC and BCC points at its temperature.
bool isStableEutectic(const PhaseParameters (&model)[3], const EutecticPoint& eutectic);
