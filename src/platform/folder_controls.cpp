#include "platform/folder_controls.h"

#include "platform/folder_listing.h"
#include "platform/steps.h"

#include <filesystem>

namespace zembra {

std::string NormalFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path.empty() ? "/" : path, ec);
    std::string out = (ec ? std::filesystem::path(path) : p).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// [SECTION] Drive list

DriveListBox::DriveListBox(Form& form, std::string name, Control* parent)
    : ComboBox(form, std::move(name), parent) {}

void DriveListBox::Refresh() {
    const std::string selected = Drive();
    std::vector<std::string> texts;
    for (const Mount& mount : source())
        texts.push_back(DriveText(mount));
    bool same = static_cast<int>(texts.size()) == ListCount();
    for (int i = 0; same && i < ListCount(); ++i)
        same = List(i) == texts[static_cast<std::size_t>(i)];
    if (same)
        return;
    // Rebuilding drops the selection; it comes back without a change event, since
    // the drive did not change.
    const Handler change = std::move(onClick);
    onClick = nullptr;
    Clear();
    for (std::string& text : texts)
        AddItem(std::move(text));
    Step([&] {
        if (const int i = find(selected); i >= 0)
            setListIndex(i);
    });
    onClick = change;
}

int DriveListBox::find(const std::string& driveOrPath) const {
    for (int i = 0; i < ListCount(); ++i) {
        if (List(i) == driveOrPath)
            return i;
    }
    // A path belongs to the drive with the longest mount point above it.
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < ListCount(); ++i) {
        const std::string point = DriveMountPoint(List(i));
        const bool holds = point == "/"
                               ? driveOrPath.starts_with('/')
                               : driveOrPath == point || driveOrPath.starts_with(point + "/");
        if (holds && (best < 0 || point.size() > bestLength)) {
            best = i;
            bestLength = point.size();
        }
    }
    return best;
}

void DriveListBox::setDrive(const std::string& driveOrPath) {
    int i = find(driveOrPath);
    if (i < 0) {
        Refresh(); // a drive plugged in since the list was made
        i = find(driveOrPath);
    }
    if (i < 0)
        throw PlatformError(kDeviceUnavailable, "Device unavailable");
    setListIndex(i);
}

// [SECTION] Folder tree

DirListBox::DirListBox(Form& form, std::string name, Control* parent)
    : ListBox(form, std::move(name), parent) {}

void DirListBox::setPath(const std::string& path) {
    const std::string folder = NormalFolder(path);
    const auto listing = ListFolder(folder);
    if (!listing)
        throw PlatformError(kPathNotFound, "Path not found");
    fill(folder, listing->folders);
    if (folder != path_) {
        path_ = folder;
        fire(onChange);
    }
}

void DirListBox::Refresh() {
    const auto listing = ListFolder(path_);
    if (!listing)
        throw PlatformError(kPathNotFound, "Path not found");
    fill(path_, listing->folders);
}

void DirListBox::fill(const std::string& path, const std::vector<std::string>& subfolders) {
    std::vector<std::string> chain; // the root and every folder down to `path`
    for (std::filesystem::path p(path);; p = p.parent_path()) {
        chain.insert(chain.begin(), p.string());
        if (p == p.parent_path())
            break;
    }
    // Filling the list selects without a click: nobody clicked.
    const Handler click = std::move(onClick);
    onClick = nullptr;
    Clear();
    paths_.clear();
    std::string indent;
    for (const std::string& folder : chain) {
        const std::string name = std::filesystem::path(folder).filename().string();
        AddItem(indent + (name.empty() ? folder : name));
        paths_.push_back(folder);
        indent += "    ";
    }
    const int current = ListCount() - 1;
    for (const std::string& name : subfolders) {
        AddItem(indent + name);
        paths_.push_back(path == "/" ? "/" + name : path + "/" + name);
    }
    setListIndex(current);
    onClick = click;
}

std::string DirListBox::Highlighted() const {
    const int i = ListIndex();
    return i >= 0 ? paths_[static_cast<std::size_t>(i)] : path_;
}

// [SECTION] File list

void FileListBox::setPath(const std::string& path) {
    const std::string folder = NormalFolder(path);
    const auto listing = ListFolder(folder);
    if (!listing)
        throw PlatformError(kPathNotFound, "Path not found");
    path_ = folder;
    Clear();
    for (const std::string& name : listing->files)
        AddItem(name);
}

} // namespace zembra
