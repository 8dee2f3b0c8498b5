// The picture of the whole stable diagram of any binary system: every two-phase field's
// boundaries, compounds as the vertical lines their fields meet at, every invariant reaction as
// a horizontal line with its kind and temperature, the congruent and critical points, each field
// labelled with its phases, and a temperature axis in kelvins with degrees Celsius beside it.
#pragma once

#include <string>
#include <vector>

#include "equilibrium/binary_diagram.h"

struct BinaryPictureRequest {
    std::string title;    // "Ag-Cu"
    std::string element;  // the element x counts, as chemistry writes it
    std::string source;   // where the model came from, for the foot of the picture
    double low;           // K at the bottom of the axis
    double high;          // K at the top
    // Measured points drawn over the diagram: a circle for a liquid's composition, a square for a
    // solid's, a diamond for an arrest at a reaction (x NaN: on the left axis).
    struct Measured {
        double x;
        double T;
        char kind;  // 'l' liquid, 's' solid, 'a' arrest
    };
    std::vector<Measured> measured;
    // With both masses (g/mol) the x axis is the weight percent of the second element.
    double masses[2] = {0, 0};
};

// The SVG text of the picture.
std::string drawBinaryDiagram(const BinarySystem& system, const BinaryDiagram& diagram,
                              const BinaryPictureRequest& request);
