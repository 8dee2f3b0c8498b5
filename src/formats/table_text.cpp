// Lines and fields of the tab-separated tables.
#include "formats/table_text.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool readLines(const char* path, std::vector<std::string>& lines, ErrorText& error)
{
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return fail(error, "%s: cannot open: %s", path, std::strerror(errno));
    std::string line;
    int ch;
    while ((ch = std::getc(file)) != EOF) {
        if (ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (ch != '\r') {
            line.push_back(static_cast<char>(ch));
        }
    }
    if (!line.empty()) lines.push_back(line);
    const bool broken = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (broken) return fail(error, "%s: cannot read: %s", path, std::strerror(readErrno));
    return true;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && line[first] == ' ') ++first;
        while (last > first && line[last - 1] == ' ') --last;
        if (last > first) result.push_back(line.substr(first, last - first));
        start = end + 1;
    }
    return result;
}

std::vector<std::string> wordsBeforeComment(const std::string& line)
{
    std::vector<std::string> result;
    std::string word;
    // "#" starts a comment, except inside a word before a digit: the set of a phase, FCC_A1#2.
    std::size_t end = 0;
    while ((end = line.find('#', end)) != std::string::npos) {
        const bool inWord = end > 0 && line[end - 1] != ' ' && line[end - 1] != '\t';
        if (!inWord || end + 1 >= line.size() || line[end + 1] < '0' || line[end + 1] > '9') break;
        ++end;
    }
    for (const char c : line.substr(0, end)) {
        if (c == ' ' || c == '\t' || c == '\r') {
            if (!word.empty()) result.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) result.push_back(word);
    return result;
}

bool number(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0';
}

bool integer(const std::string& text, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno != 0 || parsed < -2147483647L - 1 || parsed > 2147483647L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool missing(const char* path)
{
    std::FILE* file = std::fopen(path, "r");
    if (file != nullptr) {
        std::fclose(file);
        return false;
    }
    return errno == ENOENT;
}

bool isTitle(const std::string& line) { return line.rfind("Temp\t", 0) == 0; }

void appendFormat(std::string& text, const char* format, ...)
{
    char piece[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    text += piece;
}
