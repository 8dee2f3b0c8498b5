// FNV-1a over the data files.
#include "formats/fingerprint.h"

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "formats/data_files.h"

namespace {

constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ULL;
constexpr std::uint64_t FNV_PRIME = 1099511628211ULL;

void mix(std::uint64_t& hash, unsigned char byte)
{
    hash ^= byte;
    hash *= FNV_PRIME;
}

}  // namespace

bool dataFingerprint(std::string& fingerprint, ErrorText& error)
{
    std::uint64_t hash = FNV_OFFSET;
    for (int p = LIQUID; p <= FCC; ++p)
        for (const char* name : {enthalpyFileName(static_cast<PhaseIndex>(p)), activityFileName(static_cast<PhaseIndex>(p))}) {
            for (const char* c = name; *c != '\0'; ++c) mix(hash, static_cast<unsigned char>(*c));
            mix(hash, 0);
            std::FILE* file = std::fopen(name, "rb");
            if (file == nullptr) return fail(error, "%s: cannot open: %s", name, std::strerror(errno));
            unsigned char buffer[4096];
            std::size_t length;
            while ((length = std::fread(buffer, 1, sizeof buffer, file)) > 0)
                for (std::size_t i = 0; i < length; ++i) mix(hash, buffer[i]);
            const bool broken = std::ferror(file) != 0;
            std::fclose(file);
            if (broken) return fail(error, "%s: cannot read", name);
            mix(hash, 0);
        }
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    fingerprint = text;
    return true;
}
