// Write-then-rename output files with every write and the close checked.
#include "formats/output_file.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr const char* SCRATCH_SUFFIX = ".partial";

}  // namespace

bool openOutput(OutputFile& output, const char* name, ErrorText& error)
{
    output.name = name;
    output.failedErrno = 0;
    std::snprintf(output.scratchName, sizeof output.scratchName, "%s%s", name, SCRATCH_SUFFIX);
    output.file = std::fopen(output.scratchName, "w");
    if (output.file == nullptr) return fail(error, "%s: cannot create: %s", name, std::strerror(errno));
    return true;
}

void writeBytes(OutputFile& output, const char* data, std::size_t size)
{
    if (output.failedErrno == 0 && size > 0) {
        errno = 0;
        if (std::fwrite(data, 1, size, output.file) != size) output.failedErrno = errno != 0 ? errno : EIO;
    }
}

void flushText(OutputFile& output, TextBuffer& buffer)
{
    writeBytes(output, buffer.data, buffer.length);
    buffer.length = 0;
}

bool closeOutput(OutputFile& output, ErrorText& error)
{
    errno = 0;
    if (std::fflush(output.file) != 0 && output.failedErrno == 0) output.failedErrno = errno != 0 ? errno : EIO;
    if (std::ferror(output.file) && output.failedErrno == 0) output.failedErrno = EIO;
    errno = 0;
    if (std::fclose(output.file) != 0 && output.failedErrno == 0) output.failedErrno = errno != 0 ? errno : EIO;
    output.file = nullptr;
    if (output.failedErrno == 0 && std::rename(output.scratchName, output.name) != 0) output.failedErrno = errno;
    if (output.failedErrno != 0) {
        std::remove(output.scratchName);
        return fail(error, "%s: cannot write: %s", output.name, std::strerror(output.failedErrno));
    }
    return true;
}

bool writeWholeFile(const char* name, const char* data, std::size_t size, ErrorText& error)
{
    OutputFile output;
    if (!openOutput(output, name, error)) return false;
    writeBytes(output, data, size);
    return closeOutput(output, error);
}
