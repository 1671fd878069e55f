#pragma once
// The user's configuration folder, where programs keep their settings, and the
// safe way to write a settings file in it.

#include <string>
#include <string_view>

namespace zembra {

// $XDG_CONFIG_HOME when it is an absolute path, else the home folder's .config;
// empty when neither is known.
std::string UserConfigFolder();

// Creates `folder` with every missing folder above it, each new one readable by
// the user alone (0700), as the base directory rules ask of configuration
// folders. Folders that exist keep their mode. True when `folder` is a folder
// afterwards.
bool MakePrivateFolders(const std::string& folder);

// Replaces the file at `path` with `text` in one step. A symlink there (a
// dotfile kept elsewhere) is followed to its final target, which is replaced and
// the link kept. The text goes into a new file created exclusively beside the
// target, which reaches the disk and takes the old file's mode before it is
// renamed over it, so readers see the old file or the new one. A target without
// write permission, or that is not an ordinary file, is left alone: false.
bool ReplaceSettingsFile(const std::string& path, std::string_view text);

} // namespace zembra
