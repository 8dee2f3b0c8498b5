// A fixed buffer in which the output files are composed before they are written, with
// appenders that produce exactly the bytes of printf's "%d", "%f" and "%12.6f" in the C locale
// (glibc's spellings "inf", "-inf", "nan", "-nan" included).
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

struct TextBuffer {
    char data[16384];
    std::size_t length;
};

// Room that a caller keeps free before appending a row: the longest "%f" of a double (a sign,
// 309 integer digits, a point and 6 decimals) twice over, with the fields around them.
inline constexpr std::size_t ROW_RESERVE = 1024;

inline void appendText(TextBuffer& buffer, std::string_view text)
{
    std::memcpy(buffer.data + buffer.length, text.data(), text.size());
    buffer.length += text.size();
}

// "%d"
void appendInt(TextBuffer& buffer, int value);
// "%*.6f": fixed notation with six decimals, right-aligned with blanks to at least `width`.
void appendFixed(TextBuffer& buffer, double value, int width = 0);
