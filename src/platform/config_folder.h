#pragma once
// The user's configuration folder, where programs keep their settings.

#include <string>

namespace zembra {

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; empty when
// neither is known.
std::string UserConfigFolder();

} // namespace zembra
