// Measured phase-boundary points held against the computed diagram: for each point the computed
// composition of its phase at its temperature, the temperature at which the computed boundary
// reaches its composition, the differences, and where bands of phasediagram-uncertainty are at
// hand, whether it lies within the 95 % band and how many standard deviations away.
#pragma once

#include <vector>

#include "formats/band_files.h"
#include "formats/boundary_points.h"
#include "equilibrium/stable_diagram.h"

// The residuals of `points` against the stable boundaries and the stable eutectic of the diagram. `bands`
// and `eutecticBand` are those computed from the same data (present false where there are none).
// A residual that does not exist (no stable boundary at that temperature, a boundary that never
// reaches that composition, no eutectic) is NaN, and the point's status says which.
// Statuses name the pairs and phases with `names`.
void computeResiduals(StableDiagram& diagram, const std::vector<BoundaryPoint>& points, const BandTable (&bands)[3],
                      const EutecticBand& eutecticBand, std::vector<PointResidual>& residuals,
                      const PhaseNames& names = builtInPhaseNames());
