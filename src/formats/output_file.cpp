// Scratch files written in full, checked, and renamed over their targets as a set.
#include "formats/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

constexpr const char* SCRATCH_SUFFIX = ".partial";

// The scratch files opened and not yet committed or removed, and their targets. Written only
// outside signal handlers; the handler reads the names, which are complete before the count
// that exposes them grows.
struct Pending {
    char scratch[MAX_PENDING_OUTPUTS][256];
    char target[MAX_PENDING_OUTPUTS][256];
    volatile std::sig_atomic_t count;
};

Pending pending{};

void removeAll()
{
    for (int i = 0; i < pending.count; ++i) unlink(pending.scratch[i]);
    pending.count = 0;
}

extern "C" void onSignal(int signal)
{
    for (int i = 0; i < pending.count; ++i) unlink(pending.scratch[i]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

bool openOutput(OutputFile& output, const char* name, ErrorText& error)
{
    output.name = name;
    output.failedErrno = 0;
    output.file = nullptr;
    struct stat status;
    if (stat(name, &status) == 0 && S_ISDIR(status.st_mode)) {
        removeAll();
        return fail(error, "%s: cannot write: %s", name, std::strerror(EISDIR));
    }
    if (pending.count >= MAX_PENDING_OUTPUTS) {
        removeAll();
        return fail(error, "%s: cannot write: more than %d outputs at once", name, MAX_PENDING_OUTPUTS);
    }
    if (std::strlen(name) + std::strlen(SCRATCH_SUFFIX) >= sizeof output.scratchName) {
        removeAll();
        return fail(error, "%.200s...: cannot write: the name is too long", name);
    }
    std::snprintf(output.scratchName, sizeof output.scratchName, "%s%s", name, SCRATCH_SUFFIX);
    output.file = std::fopen(output.scratchName, "w");
    if (output.file == nullptr) {
        const int reason = errno;
        removeAll();
        return fail(error, "%s: cannot create: %s", name, std::strerror(reason));
    }
    std::memcpy(pending.scratch[pending.count], output.scratchName, sizeof output.scratchName);
    std::snprintf(pending.target[pending.count], sizeof pending.target[pending.count], "%s", name);
    pending.count = pending.count + 1;
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
    if (output.failedErrno != 0) {
        removeAll();
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

bool commitOutputs(ErrorText& error)
{
    for (int i = 0; i < pending.count; ++i) {
        if (std::rename(pending.scratch[i], pending.target[i]) != 0) {
            const int reason = errno;
            for (int j = i; j < pending.count; ++j) unlink(pending.scratch[j]);
            pending.count = 0;
            return fail(error, "%s: cannot write: %s", pending.target[i], std::strerror(reason));
        }
    }
    pending.count = 0;
    return true;
}

void discardOutputs() { removeAll(); }

void removeOutputsOnSignals()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
