#include "platform/config_folder.h"

#include <cstdlib>

namespace zembra {

std::string UserConfigFolder() {
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
        return std::string(home) + "/.config";
    return {};
}

} // namespace zembra
