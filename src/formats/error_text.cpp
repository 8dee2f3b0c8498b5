// Formatting of error lines.
#include "formats/error_text.h"

#include <cstdarg>
#include <cstdio>

bool fail(ErrorText& error, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(error.text, sizeof error.text, format, args);
    va_end(args);
    return false;
}
