#pragma once
// The maker's web site: shown to users from the main window, and the base of the
// addresses the update check downloads from.

#include <string_view>

namespace zembra {

// Packagers set it when they configure the build (ZEMBRA_SITE_ADDRESS).
#ifndef ZEMBRA_SITE_ADDRESS
#define ZEMBRA_SITE_ADDRESS "https://ostrel.example.com"
#endif
inline constexpr std::string_view kMakerSite = ZEMBRA_SITE_ADDRESS;

} // namespace zembra
