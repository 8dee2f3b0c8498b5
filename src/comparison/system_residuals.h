// Measured points of a database's binary system held against its whole computed diagram: a
// boundary point against the side of its field (the composition there at its temperature, and the
// temperature at which that side reaches its composition), an arrest against the invariant
// reaction of its kind (and phases, where given) nearest in temperature.
#pragma once

#include <vector>

#include "equilibrium/binary_diagram.h"
#include "formats/boundary_points.h"
#include "formats/system_points.h"

// One residual per point, in the order given; a residual that does not exist is NaN and the
// point's status says why.
void computeSystemResiduals(const BinarySystem& system, const BinaryDiagram& diagram,
                            const std::vector<SystemPoint>& points, std::vector<PointResidual>& residuals);
