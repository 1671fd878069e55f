#include "gui/picture_paths.h"

#include "import/import_rules.h"
#include "platform/text.h"

#include <algorithm>
#include <filesystem>

namespace zembra {

namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool NameBefore(const std::string& a, const std::string& b) {
    const std::string ua = UCase(a);
    const std::string ub = UCase(b);
    return ua != ub ? ua < ub : a < b;
}

} // namespace

bool IsPictureName(std::string_view name) {
    // The import dialog's rule, except that a bare extension such as ".jpg" names
    // no picture here.
    return IsPictureFile(name) && name.rfind('.') > 0;
}

std::vector<std::string> PicturesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.starts_with('.') || !IsPictureName(name) || !it->is_regular_file(typeError))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NameBefore);
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    for (std::string& name : names)
        name = prefix + name;
    return names;
}

std::vector<std::string> ExpandToPictures(const std::vector<std::string>& paths) {
    std::vector<std::string> pictures;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            for (std::string& picture : PicturesIn(path))
                pictures.push_back(std::move(picture));
        } else if (IsPictureName(FileNamePart(path))) {
            pictures.push_back(path);
        }
    }
    return pictures;
}

std::string OpenAnswer(const std::vector<std::string>& paths) {
    if (paths.empty())
        return {};
    if (paths.size() == 1)
        return paths.front();
    std::string folder = FolderOf(paths.front());
    const bool shared = std::all_of(paths.begin(), paths.end(),
                                    [&](const std::string& p) { return FolderOf(p) == folder; });
    if (!shared)
        folder = "/";
    std::string answer = folder;
    for (const std::string& path : paths) {
        answer += '\0';
        if (shared)
            answer += FileNamePart(path);
        else if (const auto first = path.find_first_not_of('/'); first != std::string::npos)
            answer += path.substr(first);
    }
    return answer;
}

std::vector<std::string> OpenAnswersFor(const std::vector<std::string>& paths) {
    std::vector<std::string> answers;
    for (std::size_t start = 0; start < paths.size();) {
        std::size_t end = start + 1;
        const std::string folder = FolderOf(paths[start]);
        while (end < paths.size() && FolderOf(paths[end]) == folder)
            ++end;
        answers.push_back(OpenAnswer({paths.begin() + static_cast<std::ptrdiff_t>(start),
                                      paths.begin() + static_cast<std::ptrdiff_t>(end)}));
        start = end;
    }
    return answers;
}

std::vector<std::string> DialogNameFilters(std::string_view filter) {
    const std::vector<std::string> parts = Split(filter, "|");

    std::vector<std::string> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        const auto open = description.rfind('(');
        if (open != std::string::npos && description.back() == ')')
            description.erase(open);
        while (!description.empty() && description.back() == ' ')
            description.pop_back();
        std::string patterns = parts[i + 1];
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        filters.push_back(description + " (" + patterns + ")");
    }
    return filters;
}

} // namespace zembra
