// Exact printf-equivalent formatting into a fixed buffer. std::to_chars with a fixed precision
// yields the digits printf yields in the C locale, without its format parsing.
#include "app/text_buffer.h"

#include <charconv>
#include <cmath>
#include <cstring>

void appendText(TextBuffer& buffer, const char* text)
{
    const std::size_t size = std::strlen(text);
    std::memcpy(buffer.data + buffer.length, text, size);
    buffer.length += size;
}

void appendInt(TextBuffer& buffer, int value)
{
    char* end = buffer.data + sizeof buffer.data;
    buffer.length = static_cast<std::size_t>(std::to_chars(buffer.data + buffer.length, end, value).ptr - buffer.data);
}

void appendFixed(TextBuffer& buffer, double value, int width)
{
    char digits[400];
    const char* last = digits;
    if (std::isnan(value)) {
        // glibc writes the sign bit of a NaN too.
        const char* spelling = std::signbit(value) ? "-nan" : "nan";
        std::memcpy(digits, spelling, std::strlen(spelling));
        last = digits + std::strlen(spelling);
    } else {
        last = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6).ptr;
    }
    const int size = static_cast<int>(last - digits);
    for (int pad = width - size; pad > 0; --pad) buffer.data[buffer.length++] = ' ';
    std::memcpy(buffer.data + buffer.length, digits, static_cast<std::size_t>(size));
    buffer.length += static_cast<std::size_t>(size);
}
