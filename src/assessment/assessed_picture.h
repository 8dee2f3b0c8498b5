// "AssessedDiagram.svg": the assessed model's diagram with the 95 % bands of its boundaries, over
// the measured points, and the straight-line fits' diagram beneath it in grey.
#pragma once

#include <string>
#include <vector>

#include "assessment/joint_fit.h"
#include "formats/boundary_points.h"

inline constexpr const char* ASSESSED_DIAGRAM_FILE = "AssessedDiagram.svg";

std::string drawAssessment(const Assessment& assessment, const std::vector<BoundaryPoint>& points);
