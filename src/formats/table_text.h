// Writing and reading the text tables of the companions: printf-style appending to a string; the
// lines of a file and the fields of a line, numbers as
// strtod takes them (nan, -nan, inf and -inf included), and whole numbers within 32 bits.
#pragma once

#include <string>
#include <vector>

#include "formats/error_text.h"

// The lines of a file without their line ends (LF or CR LF). Fails naming the file.
bool readLines(const char* path, std::vector<std::string>& lines, ErrorText& error);

// The fields of a line separated by tabs, blanks around them removed, empty fields dropped.
std::vector<std::string> fields(const std::string& line);

// The words of a line separated by blanks or tabs, up to a "#" that starts a comment (one inside a
// word before a digit, as in FCC_A1#2, belongs to the word).
std::vector<std::string> wordsBeforeComment(const std::string& line);

bool number(const std::string& text, double& value);
bool integer(const std::string& text, int& value);

// A file that does not exist, as opposed to one that cannot be read, which readLines reports.
bool missing(const char* path);

// A title line: it starts with "Temp" and a tab.
bool isTitle(const std::string& line);

// Appends like printf; a piece longer than 511 characters is cut.
[[gnu::format(printf, 2, 3)]] void appendFormat(std::string& text, const char* format, ...);
