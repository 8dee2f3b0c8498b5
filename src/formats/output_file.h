// Output files that replace their predecessors only as a set: each text goes to a scratch file
// beside its target ("name.partial"); closeOutput checks every write and the close; only when a
// program has completed all its outputs does commitOutputs rename them over their targets. A run
// that fails part-way, or is stopped by SIGINT or SIGTERM, removes its scratch files and leaves
// every earlier output as it was.
//
// The scratch files not yet committed are kept in one process-wide list of fixed size, so that a
// signal handler can remove them: the only state of the program that outlives a call.
#pragma once

#include <cstdio>

#include "formats/error_text.h"
#include "formats/text_buffer.h"

// The most scratch files a run holds at once.
inline constexpr int MAX_PENDING_OUTPUTS = 128;

struct OutputFile {
    std::FILE* file;
    const char* name;
    char scratchName[256];
    int failedErrno;  // errno of the first failed write, 0 while all went well
};

// Creates the scratch file for `name` (a name in the current directory, copied) and adds it to
// the pending set. Fails, naming the file, where it cannot be created or a directory stands in the
// target's place.
bool openOutput(OutputFile& output, const char* name, ErrorText& error);

// Writes the buffer's text and empties it; a failure is remembered and reported by closeOutput.
void flushText(OutputFile& output, TextBuffer& buffer);

// Writes size bytes; a failure is remembered and reported by closeOutput.
void writeBytes(OutputFile& output, const char* data, std::size_t size);

// Closes the scratch file. On a failure of a write or the close, removes every pending scratch
// file and fails naming the file.
bool closeOutput(OutputFile& output, ErrorText& error);

// Writes a whole output at once: open, write and close, as above.
bool writeWholeFile(const char* name, const char* data, std::size_t size, ErrorText& error);

// Renames every pending scratch file over its target, in the order they were opened. Fails
// naming the file when a rename fails; the scratch files still pending are then removed.
bool commitOutputs(ErrorText& error);

// Removes every pending scratch file.
void discardOutputs();

// From now on SIGINT and SIGTERM remove the pending scratch files before the process ends.
void removeOutputsOnSignals();
