#pragma once
// Paths that reach the picture list from outside the open dialog (a drop from the
// file manager, --add on the command line), and the dialog's own answer format.
// No Qt here, so the rules can be tested without a display.

#include <string>
#include <string_view>
#include <vector>

namespace zembra {

// True when the name ends in .jpg, .jpeg, .gif, .png, .bmp, .tif or .tiff, any case.
bool IsPictureName(std::string_view name);

// The pictures directly inside a folder, sorted by name (letter case ignored, then
// byte order). Subfolders and hidden files are left out.
std::vector<std::string> PicturesIn(const std::string& folder);

// Folders become the pictures directly inside them; files stay when they are
// pictures; anything else is dropped. Order is kept.
std::vector<std::string> ExpandToPictures(const std::vector<std::string>& paths);

// What the open dialog answers for these full paths: one path alone, or the folder
// followed by the names, separated by '\0'. Paths from different folders are given
// relative to "/", which names the same files.
std::string OpenAnswer(const std::vector<std::string>& paths);

// One answer per run of paths that share a folder, in order, so that the list
// keeps the order of the paths and adds each folder's run in one step.
std::vector<std::string> OpenAnswersFor(const std::vector<std::string>& paths);

// Name filters for a file dialog from "Description|patterns|..." pairs: the
// description's own "(...)" is replaced by the patterns separated by blanks,
// which is how the dialog reads them.
std::vector<std::string> DialogNameFilters(std::string_view filter);

} // namespace zembra
