#include "interchange/local_zone.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lembrete {

std::string localZoneName() {
    if (const char* tz = std::getenv("TZ"); tz && *tz) {
        std::string name = tz[0] == ':' ? tz + 1 : tz;
        if (!name.empty() && name[0] != '/') {
            return name;
        }
    }
    std::error_code error;
    const auto target = std::filesystem::read_symlink("/etc/localtime", error).string();
    const std::string marker = "zoneinfo/";
    const auto at = target.find(marker);
    return error || at == std::string::npos ? "UTC" : target.substr(at + marker.size());
}

}  // namespace lembrete
