// The equilibrium path of an alloy on any binary system: the stable phases of its composition x0
// at every temperature, with the amounts of the lever rule, and every transition it meets on
// cooling solved exactly: where x0 crosses a field's side (liquidus, solidus, solvus, the binodal
// of a liquid gap) and the invariant reactions whose tie-line spans x0, with the amounts of the
// phases just above and just below.
#pragma once

#include <vector>

#include "equilibrium/diagram_queries.h"
#include "formats/error_text.h"

struct PathEvent {
    double T;           // K
    const char* name;   // "liquidus", "solidus", "solvus", "binodal", "boundary" or a reaction's name
    AlloyState above;   // the phases just above T and just below
    AlloyState below;
};

// The transitions of the alloy x0 (0 < x0 < 1) within the diagram, by decreasing temperature;
// false, with a message, where a tie-line the search needs cannot be solved.
bool equilibriumEvents(const BinarySystem& system, SystemAt& at, const BinaryDiagram& diagram,
                       const std::vector<FieldSpan>& spans, double x0, std::vector<PathEvent>& events,
                       ErrorText& error);

// Whether the state holds a liquid, and its amount of liquid (a liquid gap's two summed).
bool hasLiquid(const BinarySystem& system, const AlloyState& state);
double liquidAmount(const BinarySystem& system, const AlloyState& state);
