#include "main/command_line.h"

#include "main/picture_naming.h"
#include "platform/text.h"

namespace zembra {

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size())
        pieces.push_back(text.substr(start, at - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace

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
