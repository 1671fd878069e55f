#pragma once
// The user's special folders: where settings go, the desktop and the pictures
// folder, as the XDG base and user directories name them.

#include <optional>
#include <string>
#include <string_view>

namespace zembra {

// $HOME, else the home folder the user database gives for this user; empty when
// neither is known (never "/", which would put settings at the root).
std::string HomeFolder();

// The folder a key such as "XDG_PICTURES_DIR" names in the text of a
// user-dirs.dirs file: a quoted absolute path or one starting with "$HOME/".
// nullopt when the key is missing or its value is neither.
std::optional<std::string> ParseUserDir(std::string_view fileText, std::string_view key,
                                        std::string_view home);

class UserDirectories {
  public:
    // UserConfigFolder(): $XDG_CONFIG_HOME, else the home folder's .config.
    static std::string Config();
    // The XDG desktop and pictures folders, else ~/Desktop and ~/Pictures.
    static std::string Desktop();
    static std::string Pictures();

  private:
    static std::string Named(std::string_view key, std::string_view fallback);
};

} // namespace zembra
