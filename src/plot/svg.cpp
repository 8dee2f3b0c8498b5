// SVG elements as text.
#include "plot/svg.h"

#include <cmath>
#include <cstdio>

namespace {

void appendNumber(std::string& text, double value)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.2f", value);
    text += number;
}

void appendEscaped(std::string& text, const std::string& raw)
{
    for (const char c : raw) {
        switch (c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        default:
            text += c;
        }
    }
}

// ` name="value"` with the value in pixels.
void attribute(std::string& text, const char* name, double value)
{
    text += ' ';
    text += name;
    text += "=\"";
    appendNumber(text, value);
    text += '"';
}

void attribute(std::string& text, const char* name, const char* value)
{
    text += ' ';
    text += name;
    text += "=\"";
    text += value;
    text += '"';
}

// "x,y x,y ..." of a polyline or polygon.
void appendPoints(std::string& text, const std::vector<std::pair<double, double>>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) text += ' ';
        appendNumber(text, points[i].first);
        text += ',';
        appendNumber(text, points[i].second);
    }
}

void appendStroke(std::string& text, const Stroke& stroke)
{
    attribute(text, "stroke", stroke.colour);
    attribute(text, "stroke-width", stroke.width);
    if (stroke.dash != nullptr) attribute(text, "stroke-dasharray", stroke.dash);
    if (stroke.opacity < 1.0) attribute(text, "stroke-opacity", stroke.opacity);
}

}  // namespace

void svgBegin(Svg& svg, int width, int height, const std::string& title)
{
    char head[256];
    std::snprintf(head, sizeof head,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                  "font-family=\"sans-serif\">\n",
                  width, height, width, height);
    svg.text = head;
    svg.text += "<title>";
    appendEscaped(svg.text, title);
    svg.text += "</title>\n";
    svgRect(svg, 0, 0, width, height, "#ffffff", {"none", 0, nullptr, 1.0});
}

void svgEnd(Svg& svg) { svg.text += "</svg>\n"; }

void svgLine(Svg& svg, double x1, double y1, double x2, double y2, const Stroke& stroke)
{
    svg.text += "<line";
    attribute(svg.text, "x1", x1);
    attribute(svg.text, "y1", y1);
    attribute(svg.text, "x2", x2);
    attribute(svg.text, "y2", y2);
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgPolyline(Svg& svg, const std::vector<std::pair<double, double>>& points, const Stroke& stroke)
{
    if (points.size() < 2) return;
    svg.text += "<polyline fill=\"none\" stroke-linejoin=\"round\" points=\"";
    appendPoints(svg.text, points);
    svg.text += "\"";
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgPolygon(Svg& svg, const std::vector<std::pair<double, double>>& points, const char* fill, double opacity,
                const Stroke* outline)
{
    if (points.size() < 3) return;
    svg.text += "<polygon";
    if (outline == nullptr) svg.text += " stroke=\"none\"";
    svg.text += " fill=\"";
    svg.text += fill;
    svg.text += "\" fill-opacity=\"";
    appendNumber(svg.text, opacity);
    svg.text += "\" points=\"";
    appendPoints(svg.text, points);
    svg.text += "\"";
    if (outline != nullptr) {
        svg.text += " stroke-linejoin=\"round\"";
        appendStroke(svg.text, *outline);
    }
    svg.text += "/>\n";
}

void svgCircle(Svg& svg, double x, double y, double radius, const char* fill, const Stroke& stroke)
{
    svg.text += "<circle";
    attribute(svg.text, "cx", x);
    attribute(svg.text, "cy", y);
    attribute(svg.text, "r", radius);
    attribute(svg.text, "fill", fill);
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgRect(Svg& svg, double x, double y, double width, double height, const char* fill, const Stroke& stroke)
{
    svg.text += "<rect";
    attribute(svg.text, "x", x);
    attribute(svg.text, "y", y);
    attribute(svg.text, "width", width);
    attribute(svg.text, "height", height);
    attribute(svg.text, "fill", fill);
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgText(Svg& svg, double x, double y, const std::string& text, const char* anchor, double size,
             const char* colour, double rotate, bool bold, bool halo)
{
    svg.text += "<text";
    if (halo) svg.text += " stroke=\"#fff\" stroke-width=\"3\" stroke-linejoin=\"round\" paint-order=\"stroke\"";
    attribute(svg.text, "x", x);
    attribute(svg.text, "y", y);
    attribute(svg.text, "text-anchor", anchor);
    attribute(svg.text, "font-size", size);
    attribute(svg.text, "fill", colour);
    if (bold) attribute(svg.text, "font-weight", "bold");
    if (rotate != 0) {
        svg.text += " transform=\"rotate(";
        appendNumber(svg.text, rotate);
        svg.text += ' ';
        appendNumber(svg.text, x);
        svg.text += ' ';
        appendNumber(svg.text, y);
        svg.text += ")\"";
    }
    svg.text += ">";
    appendEscaped(svg.text, text);
    svg.text += "</text>\n";
}

double niceStep(double span, int count)
{
    if (!(span > 0) || count < 1) return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / power;
    const double factor = fraction < 1.5 ? 1.0 : fraction < 3.5 ? 2.0 : fraction < 7.5 ? 5.0 : 10.0;
    return factor * power;
}

std::string formatNumber(const char* pattern, double value)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}
