#pragma once
// The freedesktop Trash: an original that Zembra replaces or removes goes there,
// with its .trashinfo, so a file manager can put it back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/folder.h"

namespace zembra {

// Where a file went in the trash: its copy under files/ and its record under
// info/, both as absolute paths.
struct TrashedFile {
    std::string file;
    std::string info;
};

// Puts a hard link to `name` in `folder` into the trash that serves it: the home
// trash ($XDG_DATA_HOME/Trash) when it is on the same file system, else the
// top-directory trash ($topdir/.Trash/$uid or $topdir/.Trash-$uid). The file
// itself stays where it is, so the caller replaces or removes it only once the
// trash holds it. `originalPath` is the absolute path the record names.
// nullopt when no trash can take it (errno says why).
std::optional<TrashedFile> LinkIntoTrash(const Folder& folder, const std::string& name,
                                         const std::string& originalPath);

// The file a trash keeps as the hard link of the file (device, inode) that was
// at `originalPath`: found in the trash that serves that folder, by the link
// LinkIntoTrash made, when a run was killed before it could say where it went.
std::optional<TrashedFile> FindTrashed(const std::string& originalPath, std::uint64_t device,
                                       std::uint64_t inode);

// Takes a file back out of the trash (both its copy and its record), as when the
// step it was kept for did not happen.
void ForgetTrashed(const TrashedFile& trashed);

// The body of a .trashinfo file: the path escaped as a URL path, the time as
// local ISO 8601 without zone.
std::string TrashInfoText(std::string_view originalPath, std::string_view deletionDate);

} // namespace zembra
