#include "platform/folder_listing.h"

#include "platform/text.h"

#include <algorithm>
#include <filesystem>

namespace zembra {

bool NameOrder(const std::string& a, const std::string& b) {
    const std::string ua = UCase(a), ub = UCase(b);
    return ua != ub ? ua < ub : a < b;
}

std::optional<FolderListing> ListFolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(path.empty() ? fs::path(".") : fs::path(path), ec);
    if (ec)
        return std::nullopt;
    FolderListing listing;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            return std::nullopt;
        const std::string name = it->path().filename().string();
        if (name.starts_with('.'))
            continue;
        std::error_code typeError;
        const fs::file_status status = it->status(typeError); // follows links
        if (typeError)
            continue;
        if (fs::is_directory(status))
            listing.folders.push_back(name);
        else if (fs::is_regular_file(status))
            listing.files.push_back(name);
    }
    if (ec)
        return std::nullopt;
    std::sort(listing.files.begin(), listing.files.end(), NameOrder);
    std::sort(listing.folders.begin(), listing.folders.end(), NameOrder);
    return listing;
}

} // namespace zembra
