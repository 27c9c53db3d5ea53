#include "common/Version.h"

namespace bm {

std::string VersionText(const Version& v)
{
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision);
}

std::string MainTitle(const Version& v)
{
    return "Brindlemark " + std::to_string(v.major) + "." + std::to_string(v.minor) + std::to_string(v.revision);
}

}  // namespace bm
