// The phase diagram of a model alone, without phasediagram's tables: the stable boundary of each
// pair at every whole kelvin of the axis with its exact ends (the eutectic and the melting
// points), the stable eutectic, the named fields and measured points, for a model read from a
// database.
#pragma once

#include <vector>

#include "plot/phase_diagram.h"

struct ModelDiagramRequest {
    DiagramNames names;
    bool celsius;
    bool rangeGiven;  // the temperature axis, else from 150 K below the eutectic (or the lower
    double low;       // melting point) to 30 K above the higher melting point, in tens of kelvins,
    double high;      // within the model's temperatures
    std::vector<MeasuredMark> measured;
    // Only the boundaries, every `step` K (and at their exact ends): a reference drawn beneath
    // another diagram, without fields, eutectic mark or notes.
    bool linesOnly = false;
    int step = 1;
};

void describeModelDiagram(const StableDiagram& stable, const ModelDiagramRequest& request, PhaseDiagram& diagram);

// The axis a model's diagram is seen on where none is asked: from 150 K below the eutectic (or the
// lower melting point) to 30 K above the higher melting point, in tens of kelvins, within the
// model's temperatures.
void defaultDiagramRange(const StableDiagram& stable, double& low, double& high);
