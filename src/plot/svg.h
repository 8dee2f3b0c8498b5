// A small writer of self-contained SVG: lines, polylines, circles, rectangles and text, with
// coordinates in pixels and no scripts, external fonts or links.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct Svg {
    std::string text;
};

// Opens the document with a white background of the given size.
void svgBegin(Svg& svg, int width, int height, const std::string& title);
void svgEnd(Svg& svg);

// Stroke styles: a colour, a width, and optionally a dash pattern and an opacity.
struct Stroke {
    const char* colour;
    double width;
    const char* dash;  // nullptr for a solid line
    double opacity;
};

void svgLine(Svg& svg, double x1, double y1, double x2, double y2, const Stroke& stroke);
void svgPolyline(Svg& svg, const std::vector<std::pair<double, double>>& points, const Stroke& stroke);
// A closed polygon filled with a colour at an opacity, with the outline given or none.
void svgPolygon(Svg& svg, const std::vector<std::pair<double, double>>& points, const char* fill, double opacity,
                const Stroke* outline = nullptr);
void svgCircle(Svg& svg, double x, double y, double radius, const char* fill, const Stroke& stroke);
void svgRect(Svg& svg, double x, double y, double width, double height, const char* fill, const Stroke& stroke);

// Text at (x, y), the baseline; anchor "start", "middle" or "end"; rotated by `rotate` degrees
// about its anchor point; with a halo, a white outline under the letters keeps them legible over
// lines. The text is escaped for XML.
void svgText(Svg& svg, double x, double y, const std::string& text, const char* anchor, double size,
             const char* colour = "#222", double rotate = 0, bool bold = false, bool halo = false);

// One number through a printf pattern, for labels.
std::string formatNumber(const char* pattern, double value);

// A tick step of 1, 2 or 5 times a power of ten that cuts span into about `count` parts.
double niceStep(double span, int count);
