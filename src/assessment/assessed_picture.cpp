// The assessed diagram drawn: described once, on an axis wide enough for every measured point.
#include "assessment/assessed_picture.h"

#include <cmath>

#include "assessment/intervals.h"
#include "plot/model_diagram.h"
#include "plot/phase_diagram_svg.h"

// The assessed model's diagram over the measured points, the straight-line fits' beneath it: the
// assessed diagram described once, every 2 K (a pixel of the picture's axis) on an axis wide
// enough for every point, the reference's boundaries alone every 5 K.
std::string drawAssessment(const Assessment& assessment, const std::vector<BoundaryPoint>& points)
{
    StableDiagram assessed;
    StableDiagram before;
    buildStableDiagram(assessment.after.model, assessed);
    buildStableDiagram(assessment.before.model, before);
    DiagramNames names = builtInNames();
    names.source = "the assessment";
    ModelDiagramRequest request{names, false, false, 0, 0, {}};
    // The marks where the points were measured; an arrest without its composition at the assessed
    // eutectic liquid's.
    for (const BoundaryPoint& p : points) {
        PointResidual r{};
        r.point = p;
        r.xComputed = p.pair == 0 && assessment.after.haveEutectic ? assessment.after.eutectic[1] : NAN;
        request.measured.push_back(measuredMark(r));
    }
    // The axis widened, in tens of kelvins, to every measured point.
    double low = 0;
    double high = 0;
    defaultDiagramRange(assessed, low, high);
    const double defaultLow = low;
    const double defaultHigh = high;
    for (const BoundaryPoint& p : points) {
        low = std::fmin(low, std::floor((p.T - 20) / 10) * 10);
        high = std::fmax(high, std::ceil((p.T + 20) / 10) * 10);
    }
    if (low < defaultLow || high > defaultHigh) {
        request.rangeGiven = true;
        request.low = std::fmax(low, 1.0);
        request.high = high;
    }
    request.step = 2;
    PhaseDiagram diagram;
    describeModelDiagram(assessed, request, diagram);
    ModelDiagramRequest lines{names, false, true, diagram.low, diagram.high, {}};
    lines.linesOnly = true;
    lines.step = 5;
    PhaseDiagram reference;
    describeModelDiagram(before, lines, reference);
    diagram.reference = reference.lines;
    // The assessed boundaries' 95 % bands, each side of each pair in runs of neighbouring rows.
    const std::vector<BoundaryBandRow> rows = boundaryBands(assessment, std::ceil(diagram.low), diagram.high, 10);
    for (std::size_t start = 0; start < rows.size();) {
        std::size_t end = start;
        while (end + 1 < rows.size() && rows[end + 1].pair == rows[start].pair && rows[end + 1].side == rows[start].side &&
               rows[end + 1].T - rows[end].T <= 10 + 1e-9)
            ++end;
        BandArea area{rows[start].pair - 1, {}};
        for (std::size_t r = start; r <= end; ++r) area.outline.push_back({rows[r].low, rows[r].T});
        for (std::size_t r = end + 1; r-- > start;) area.outline.push_back({rows[r].high, rows[r].T});
        diagram.bands.push_back(std::move(area));
        start = end + 1;
    }
    diagram.referenceLabel = "straight-line fits";
    return drawPhaseDiagram(diagram);
}

