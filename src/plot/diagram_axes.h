// The axes of a phase diagram: the mole fraction from 0 to 1 along the bottom, the temperature in
// K on the left, and, where asked, the same temperatures in degrees Celsius on the right, over a
// light grid, with the plot's frame.
#pragma once

#include <string>

#include "plot/svg.h"

struct DiagramFrame {
    double left;    // px
    double top;
    double width;
    double height;
    double low;     // K at the bottom of the plot
    double high;
    double px(double x) const { return left + x * width; }
    double py(double T) const { return top + (high - T) / (high - low) * height; }
};

// `element` names what x counts ("Mole fraction of Ks"); with `percent` the axis is the weight
// percent of it, ticked from 0 to 100.
void drawDiagramAxes(Svg& svg, const DiagramFrame& frame, const std::string& element, bool celsius,
                     bool percent = false);
