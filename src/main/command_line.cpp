#include "main/command_line.h"

#include "main/picture_naming.h"
#include "platform/text.h"

namespace zembra {

std::vector<std::string> CommandLinePictures(const std::string& commandLine) {
    std::vector<std::string> pictures;
    if (commandLine.empty())
        return pictures;
    // Pieces between the first and the last "||" are ignored; without "||" the
    // whole text is both the prefix and the list.
    const std::vector<std::string> pieces = Split(commandLine, "||");
    const std::string& prefix = pieces.front();
    for (const std::string& name : Split(pieces.back(), "|")) {
        std::string path = prefix + name;
        // A picture type anywhere in the path will do, even in a folder's name.
        if (IsSupportedExtension(path))
            pictures.push_back(std::move(path));
    }
    return pictures;
}

} // namespace zembra
