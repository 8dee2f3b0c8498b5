// "PhaseDiagram.svg": the description of the phase diagram drawn as a self-contained SVG picture,
// temperature upwards and the mole fraction of Ks across, with its legend and notes.
#pragma once

#include <string>

#include "plot/phase_diagram.h"

inline constexpr const char* DIAGRAM_FILE = "PhaseDiagram.svg";

std::string drawPhaseDiagram(const PhaseDiagram& diagram);
