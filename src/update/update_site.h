#pragma once
// Where the maker publishes the version file and the installers.

#include "main/maker_site.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zembra {

inline constexpr std::string_view kVersionFilePath = "/documents/files/version.txt";
// The installer's name, set at build time, with the published version in place of
// "{version}": KVDv241setup.exe by default.
std::string InstallerPath(std::int16_t publishedVersion);

// The environment variable that points the update check at a test server.
inline constexpr const char* kSiteOverrideVariable = "ZEMBRA_UPDATE_SITE";

// The override is honoured only for a plain http address on this machine
// (127.0.0.1, localhost or [::1], with an optional port and no path), so that it
// can serve tests and nothing else.
std::optional<std::string> LoopbackSite(std::string_view address);

// kMakerSite, or a loopback address from ZEMBRA_UPDATE_SITE.
std::string UpdateSiteAddress();

} // namespace zembra
