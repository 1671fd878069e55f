#include "import/folder_file.h"

#include <charconv>

namespace zembra {

namespace {
constexpr std::string_view kKeys[] = {"previewfolder=", "lastdrive=", "lastfolder="};
}

std::vector<FolderFileLine> ParseFolderFile(std::string_view text) {
    std::vector<FolderFileLine> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        for (std::string_view key : kKeys) {
            if (line.starts_with(key)) {
                lines.push_back({std::string(key), std::string(line.substr(key.size()))});
                break;
            }
        }
    }
    return lines;
}

std::string FormatFolderFile(int previewFolder, std::string_view lastFolder,
                             std::string_view lastDrive) {
    std::string text = "previewfolder=" + std::to_string(previewFolder) + "\r\n";
    text += "lastfolder=";
    text += lastFolder;
    text += "\r\nlastdrive=";
    text += lastDrive;
    text += "\r\n";
    return text;
}

std::optional<int> WholeNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.starts_with('+'))
        text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

} // namespace zembra
