// The fingerprint of the data files: a change of one byte in any one of the six files, or the
// contents of two files swapped, gives another fingerprint; the same bytes give the same one.
#include "formats/fingerprint.h"

#include <gtest/gtest.h>

#include <set>

#include "formats/data_files.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The fingerprint of the data files in dir.
std::string fingerprintIn(const fs::path& dir)
{
    const fs::path here = fs::current_path();
    fs::current_path(dir);
    std::string fingerprint;
    ErrorText error{};
    const bool ok = dataFingerprint(fingerprint, error);
    fs::current_path(here);
    EXPECT_TRUE(ok) << error.text;
    return fingerprint;
}

TEST(Fingerprint, ChangesWithEveryByteOfEveryDataFile)
{
    const fs::path dir = makeScratchDir();
    copyExampleData(dir);
    const std::string original = fingerprintIn(dir);
    EXPECT_EQ(original.size(), 16u);
    EXPECT_EQ(fingerprintIn(dir), original);

    std::set<std::string> seen = {original};
    for (int p = LIQUID; p <= FCC; ++p)
        for (const char* name : {enthalpyFileName(static_cast<PhaseIndex>(p)), activityFileName(static_cast<PhaseIndex>(p))}) {
            const std::string bytes = readFile(dir / name);
            std::string changed = bytes;
            changed[changed.size() / 2] ^= 1;  // one digit of one number
            writeFile(dir / name, changed);
            EXPECT_TRUE(seen.insert(fingerprintIn(dir)).second) << name;
            writeFile(dir / name, bytes);
        }
    EXPECT_EQ(fingerprintIn(dir), original);

    // The same bytes in other files: the FCC enthalpies and activities swapped.
    const std::string enthalpy = readFile(dir / enthalpyFileName(FCC));
    const std::string activity = readFile(dir / activityFileName(FCC));
    writeFile(dir / enthalpyFileName(FCC), activity);
    writeFile(dir / activityFileName(FCC), enthalpy);
    EXPECT_NE(fingerprintIn(dir), original);

    fs::remove(dir / activityFileName(LIQUID));
    std::string fingerprint;
    ErrorText error{};
    const fs::path here = fs::current_path();
    fs::current_path(dir);
    EXPECT_FALSE(dataFingerprint(fingerprint, error));
    fs::current_path(here);
    EXPECT_NE(std::string(error.text).find(std::string(activityFileName(LIQUID)) + ": cannot open"), std::string::npos)
        << error.text;
}

}  // namespace
