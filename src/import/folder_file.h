#pragma once
// folder.txt: what the folder import dialog remembers between openings, three
// "key=value" lines in a fixed order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

struct FolderFileLine {
    std::string key; // "previewfolder=", "lastdrive=" or "lastfolder="
    std::string value;
};

// The lines whose start matches a key exactly (letter case counting), in file
// order; other lines are left out. Lines end in CR LF or LF.
std::vector<FolderFileLine> ParseFolderFile(std::string_view text);

// The whole file, CR LF line ends.
std::string FormatFolderFile(int previewFolder, std::string_view lastFolder,
                             std::string_view lastDrive);

// A whole number with optional blanks and sign, nothing else; nullopt otherwise
// or outside 16 bits.
std::optional<int> WholeNumber(std::string_view text);

} // namespace zembra
