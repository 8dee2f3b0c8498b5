// What the phase diagram of the three-phase model is drawn from and what it shows, as records:
// the tables, bands and measured points it is given, and the pieces of line, bands, eutectic and
// notes decided from them (phase_diagram.h), before anything is drawn (phase_diagram_svg.h).
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

