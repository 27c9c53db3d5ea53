#pragma once

#include <string>

namespace bm {

struct Version {
    int major = BRINDLEMARK_VERSION_MAJOR;
    int minor = BRINDLEMARK_VERSION_MINOR;
    int revision = BRINDLEMARK_VERSION_PATCH;
};

// "1.0.502": the splash and --version.
std::string VersionText(const Version& v = {});
// "Brindlemark 1.0502": minor and revision are written together.
std::string MainTitle(const Version& v = {});

}  // namespace bm
