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

void appendStroke(std::string& text, const Stroke& stroke)
{
    text += " stroke=\"";
    text += stroke.colour;
    text += "\" stroke-width=\"";
    appendNumber(text, stroke.width);
    text += "\"";
    if (stroke.dash != nullptr) {
        text += " stroke-dasharray=\"";
        text += stroke.dash;
        text += "\"";
    }
    if (stroke.opacity < 1.0) {
        text += " stroke-opacity=\"";
        appendNumber(text, stroke.opacity);
        text += "\"";
    }
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
    svg.text += "<line x1=\"";
    appendNumber(svg.text, x1);
    svg.text += "\" y1=\"";
    appendNumber(svg.text, y1);
    svg.text += "\" x2=\"";
    appendNumber(svg.text, x2);
    svg.text += "\" y2=\"";
    appendNumber(svg.text, y2);
    svg.text += "\"";
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgPolyline(Svg& svg, const std::vector<std::pair<double, double>>& points, const Stroke& stroke)
{
    if (points.size() < 2) return;
    svg.text += "<polyline fill=\"none\" stroke-linejoin=\"round\" points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) svg.text += ' ';
        appendNumber(svg.text, points[i].first);
        svg.text += ',';
        appendNumber(svg.text, points[i].second);
    }
    svg.text += "\"";
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgPolygon(Svg& svg, const std::vector<std::pair<double, double>>& points, const char* fill, double opacity)
{
    if (points.size() < 3) return;
    svg.text += "<polygon stroke=\"none\" fill=\"";
    svg.text += fill;
    svg.text += "\" fill-opacity=\"";
    appendNumber(svg.text, opacity);
    svg.text += "\" points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) svg.text += ' ';
        appendNumber(svg.text, points[i].first);
        svg.text += ',';
        appendNumber(svg.text, points[i].second);
    }
    svg.text += "\"/>\n";
}

void svgCircle(Svg& svg, double x, double y, double radius, const char* fill, const Stroke& stroke)
{
    svg.text += "<circle cx=\"";
    appendNumber(svg.text, x);
    svg.text += "\" cy=\"";
    appendNumber(svg.text, y);
    svg.text += "\" r=\"";
    appendNumber(svg.text, radius);
    svg.text += "\" fill=\"";
    svg.text += fill;
    svg.text += "\"";
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgRect(Svg& svg, double x, double y, double width, double height, const char* fill, const Stroke& stroke)
{
    svg.text += "<rect x=\"";
    appendNumber(svg.text, x);
    svg.text += "\" y=\"";
    appendNumber(svg.text, y);
    svg.text += "\" width=\"";
    appendNumber(svg.text, width);
    svg.text += "\" height=\"";
    appendNumber(svg.text, height);
    svg.text += "\" fill=\"";
    svg.text += fill;
    svg.text += "\"";
    appendStroke(svg.text, stroke);
    svg.text += "/>\n";
}

void svgText(Svg& svg, double x, double y, const std::string& text, const char* anchor, double size,
             const char* colour, double rotate, bool bold)
{
    svg.text += "<text x=\"";
    appendNumber(svg.text, x);
    svg.text += "\" y=\"";
    appendNumber(svg.text, y);
    svg.text += "\" text-anchor=\"";
    svg.text += anchor;
    svg.text += "\" font-size=\"";
    appendNumber(svg.text, size);
    svg.text += "\" fill=\"";
    svg.text += colour;
    svg.text += "\"";
    if (bold) svg.text += " font-weight=\"bold\"";
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
