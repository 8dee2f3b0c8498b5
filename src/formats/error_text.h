// A one-line description of what went wrong with a file or the input, filled by the function
// that met the problem and printed once by the program's driver. Fixed size: no allocation.
#pragma once

struct ErrorText {
    char text[512];
};

// Formats like printf into error.text, cut to fit. Returns false, so that a failing function
// can end with `return fail(error, ...)`.
[[gnu::format(printf, 2, 3)]] bool fail(ErrorText& error, const char* format, ...);
