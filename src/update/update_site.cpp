#include "update/update_site.h"

#include <cctype>
#include <cstdlib>

namespace zembra {

std::string InstallerPath(std::int16_t publishedVersion) {
    // The name is set when the build is configured (ZEMBRA_INSTALLER_NAME).
    std::string name = ZEMBRA_INSTALLER_NAME;
    constexpr std::string_view kVersion = "{version}";
    if (const auto at = name.find(kVersion); at != std::string::npos)
        name.replace(at, kVersion.size(), std::to_string(publishedVersion));
    return "/documents/files/" + name;
}

std::optional<std::string> LoopbackSite(std::string_view address) {
    constexpr std::string_view kScheme = "http://";
    if (!address.starts_with(kScheme))
        return std::nullopt;
    std::string_view rest = address.substr(kScheme.size());
    if (rest.ends_with('/'))
        rest.remove_suffix(1);
    for (std::string_view host : {"127.0.0.1", "localhost", "[::1]"}) {
        if (!rest.starts_with(host))
            continue;
        const std::string_view tail = rest.substr(host.size());
        if (!tail.empty()) {
            // A port of one to five digits.
            const std::string_view port = tail.substr(1);
            if (tail[0] != ':' || port.empty() || port.size() > 5)
                return std::nullopt;
            for (char c : port) {
                if (!std::isdigit(static_cast<unsigned char>(c)))
                    return std::nullopt;
            }
        }
        return std::string(address.substr(0, kScheme.size() + rest.size()));
    }
    return std::nullopt;
}

std::string UpdateSiteAddress() {
    if (const char* value = std::getenv(kSiteOverrideVariable)) {
        if (auto site = LoopbackSite(value))
            return *site;
    }
    return std::string(kMakerSite);
}

} // namespace zembra
