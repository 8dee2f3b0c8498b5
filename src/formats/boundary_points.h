// "Boundaries.txt", the optional file of phase-boundary points measured directly, and
// "Boundary_residuals.txt", how far each lies from the computed diagram.
//
// Boundaries.txt: one point per line, fields separated by blanks or tabs, "#" starts a comment,
// Windows line ends are fine:
//   T  x  PAIR  PHASE   the composition x (mole fraction of Ks) of PHASE, measured at T (K) in
//                       equilibrium with the other phase of PAIR (Liquid/FCC, Liquid/BCC, BCC/FCC;
//                       for a database's system its phases' names, as LIQUID/FCC_A1)
//   T  x  eutectic      an arrest at the eutectic temperature T; x, the liquid's composition, may
//                       be "-"
// Either may end with the point's own scatter, a standard deviation in K for an arrest (a point
// of a pair with the liquid, or the eutectic) and in x for a point of the two solids, which the
// assessment takes instead of the default of its kind.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "formats/error_text.h"
#include "model/phase.h"

inline constexpr const char* BOUNDARY_POINTS_FILE = "Boundaries.txt";
inline constexpr const char* BOUNDARY_RESIDUALS_FILE = "Boundary_residuals.txt";

// A measured point. pair 0 marks a eutectic arrest.
struct BoundaryPoint {
    int line;           // in the file
    double T;           // K
    bool haveX;
    double x;           // mole fraction of Ks
    int pair;           // PhasePair, or 0 for the eutectic
    int side;           // 0: the pair's first phase was measured, 1: its second
    double sd = NAN;    // its own scatter, where the file gives one
};

// The names of a model's phases in the order of PhaseIndex, as the points and the report give them.
struct PhaseNames {
    std::string phase[3];
};

PhaseNames builtInPhaseNames();  // Liquid, BCC, FCC

// "Liquid/FCC" and so on; "eutectic" for 0.
std::string pairName(const PhaseNames& names, int pair);

// Whether a name typed in a points file stands for a phase: the phase's own name in any case, or
// for a database's phase the part before its structure suffix (FCC for FCC_A1, BCC for BCC_A2),
// so that points written for the built-in model serve its database too. A pair may name its two
// phases in either order: the phase measured says which side the point is.
bool namesPhase(const std::string& typed, const std::string& phase);

// Reads the points; `present` is false, and nothing fails, when the file does not exist. Fails
// naming the file, the line and what is wrong with it.
bool readBoundaryPoints(const char* path, std::vector<BoundaryPoint>& points, bool& present, ErrorText& error,
                        const PhaseNames& names = builtInPhaseNames());

// How far a point lies from the computed diagram. NaN where a value does not exist.
struct PointResidual {
    BoundaryPoint point;
    double xComputed;    // the phase's composition on the stable boundary at the point's T (the
                         // eutectic liquid's for an arrest)
    double dx;           // measured - computed
    double TComputed;    // where the stable boundary reaches the point's x (the eutectic's T)
    double dT;           // measured - computed, K
    bool haveBand;       // a band of phasediagram-uncertainty at this point
    double bandLow;      // 95 % interval of the computed value the point is held against
    double bandHigh;
    bool withinBand;
    double sigmas;       // the residual in standard deviations of the band, (high - low) / 3.92
    std::string status;  // "ok", or why a residual is missing
    std::string pairText;   // for a database's point: its pair or reaction, and its phase, as the
    std::string phaseText;  // report names them (empty: from the point's pair)
};

struct ResidualSummary {
    int count;
    int withT;
    double rmsT;
    double maxT;   // largest |dT|
    int withX;
    double rmsX;
    double maxX;
    int withBand;
    int outsideBand;
};

ResidualSummary summariseResiduals(const std::vector<PointResidual>& residuals);

// The tab-separated report: a title line, one row per point, then the summary as "#" lines.
std::string formatResiduals(const std::vector<PointResidual>& residuals, const ResidualSummary& summary,
                            const PhaseNames& names = builtInPhaseNames());

// The summary in one line, for standard output.
std::string residualSummaryLine(const ResidualSummary& summary);

// "Liquid/FCC" and so on; "eutectic" for 0.
const char* pairName(int pair);
