// Output files that replace their predecessor only when complete: the text goes to a scratch
// file beside the target, and is renamed over the target once every write and the close have
// succeeded. A run that fails part-way leaves the earlier file as it was.
#pragma once

#include <cstdio>

#include "formats/text_buffer.h"
#include "formats/error_text.h"

struct OutputFile {
    std::FILE* file;
    const char* name;
    char scratchName[256];
    int failedErrno;  // errno of the first failed write, 0 while all went well
};

// Creates the scratch file for `name` (a fixed name in the current directory).
bool openOutput(OutputFile& output, const char* name, ErrorText& error);

// Writes the buffer's text and empties it; a failure is remembered and reported by closeOutput.
void flushText(OutputFile& output, TextBuffer& buffer);

// Writes size bytes; a failure is remembered and reported by closeOutput.
void writeBytes(OutputFile& output, const char* data, std::size_t size);

// Writes a whole file at once: open, write, close and rename, as above.
bool writeWholeFile(const char* name, const char* data, std::size_t size, ErrorText& error);

// Closes the scratch file and renames it over `name`. On any failure of a write, the close or
// the rename, removes the scratch file, leaves `name` untouched and fails naming the file.
bool closeOutput(OutputFile& output, ErrorText& error);
