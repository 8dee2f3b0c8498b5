// How far the solidification path of one alloy moves between replicates of the model (those that
// phasediagram-uncertainty draws from the data's scatter): percentiles of the liquidus, of the
// eutectic fractions and of the fraction solid on both paths.
#pragma once

#include <array>
#include <vector>

#include "formats/error_text.h"
#include "formats/solidification_table.h"
#include "solidification/solidification.h"

// The 2.5 and 97.5 percentiles over the replicates that could be solved: the liquidus, the
// eutectic fractions and, on a grid no finer than 2.5 K, the fraction solid.
struct ReplicateSpread {
    double liquidus[2];
    double eutecticEquilibrium[2];
    double eutecticScheil[2];
    std::vector<PathBandRow> band;
    int failed;
};

// Solves the alloy x0 on the grid for every replicate, each started from the path on `diagram`
// (the nominal model's). Fails only where the nominal path cannot be solved; a replicate that
// cannot be is counted in `failed`.
bool spreadOfReplicates(StableDiagram& diagram, const std::vector<std::array<PhaseParameters, 3>>& models, double x0,
                        const PathGrid& grid, ReplicateSpread& spread, ErrorText& error);
