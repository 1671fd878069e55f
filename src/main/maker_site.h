#pragma once
// The maker's web site: shown to users from the main window, and the base of the
// addresses the update check downloads from.

#include <string_view>

namespace zembra {

inline constexpr std::string_view kMakerSite = "https://ostrel.example.com";

} // namespace zembra
