#include "platform/user_dirs.h"

#include "platform/config_folder.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace zembra {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Where the desktop and pictures folders are looked for; "/" only when no home
// is known at all, so that they resolve to something that exists.
std::string Home() {
    std::string home = HomeFolder();
    return home.empty() ? "/" : home;
}

// The text between the first pair of double quotes, with \" and \\ unescaped.
std::optional<std::string> Quoted(std::string_view value) {
    if (value.empty() || value.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] == '"')
            return out;
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        out += value[i];
    }
    return std::nullopt; // no closing quote
}

} // namespace

std::string HomeFolder() {
    if (std::string home = Environment("HOME"); !home.empty())
        return home;
    // Services and cron jobs often run without HOME.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

std::optional<std::string> ParseUserDir(std::string_view fileText, std::string_view key,
                                        std::string_view home) {
    std::optional<std::string> found;
    std::size_t start = 0;
    while (start < fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string_view::npos)
            end = fileText.size();
        std::string_view line = fileText.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (!line.starts_with(key) || line.substr(key.size()).substr(0, 1) != "=")
            continue;
        const auto value = Quoted(line.substr(key.size() + 1));
        if (!value)
            continue;
        // A later line overrides an earlier one, as the shell would.
        if (value->starts_with("$HOME/") || *value == "$HOME") {
            std::string base(home);
            if (base.ends_with('/'))
                base.pop_back(); // a home of "/" gives "/Pictures", not "//Pictures"
            found = base + value->substr(5);
            if (found->empty())
                found = "/";
        } else if (value->starts_with('/'))
            found = *value;
    }
    if (found && found->size() > 1 && found->back() == '/')
        found->pop_back();
    return found;
}

std::string UserDirectories::Config() {
    return UserConfigFolder();
}

std::string UserDirectories::Named(std::string_view key, std::string_view fallback) {
    std::ifstream in(Config() + "/user-dirs.dirs");
    std::ostringstream text;
    text << in.rdbuf();
    if (auto dir = ParseUserDir(text.str(), key, Home()))
        return *dir;
    return Home() + "/" + std::string(fallback);
}

std::string UserDirectories::Desktop() {
    return Named("XDG_DESKTOP_DIR", "Desktop");
}

std::string UserDirectories::Pictures() {
    return Named("XDG_PICTURES_DIR", "Pictures");
}

} // namespace zembra
