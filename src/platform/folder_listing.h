#pragma once
// What a folder holds, as the folder tree and the file list show it: names only,
// sorted, hidden entries (names starting with ".") left out.

#include <optional>
#include <string>
#include <vector>

namespace zembra {

struct FolderListing {
    std::vector<std::string> files;   // ordinary files, and links to them
    std::vector<std::string> folders; // folders, and links to them
};

// nullopt when the folder cannot be read (missing, not a folder, no permission).
// Entries that vanish or cannot be examined while listing are left out.
std::optional<FolderListing> ListFolder(const std::string& path);

// Name order of the lists: letters compare without case, then byte by byte, so
// "b.jpg" follows "A.jpg" and the order never depends on the locale.
bool NameOrder(const std::string& a, const std::string& b);

} // namespace zembra
