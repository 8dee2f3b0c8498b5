// The names of the phase fields of the diagram, from the lower convex hull of the three Gibbs
// energy curves: "Liquid", "Liquid + FCC", "BCC + FCC" and so on, each placed where its field is
// widest.
#pragma once

#include <string>
#include <vector>

#include "equilibrium/stable_diagram.h"
#include "model/phase.h"

struct FieldLabel {
    std::string name;
    double x;  // mole fraction of Ks
    double T;  // K
};

// Names each field that appears between the temperatures low and high on a grid of 100
// compositions by 60 temperatures, at the grid cell farthest from the other fields and the frame;
// fields of fewer than six cells get no name.
void labelFields(const PhaseParameters (&model)[3], double low, double high, std::vector<FieldLabel>& labels);

// The same for the stable diagram of any model, the fields named with `phases` (in the order of
// PhaseIndex, a pair's field as "LIQUID + FCC_A1").
void labelFields(const StableDiagram& diagram, const std::string (&phases)[3], double low, double high,
                 std::vector<FieldLabel>& labels);
