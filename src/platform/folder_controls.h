#pragma once
// The drive list, the folder tree and the file list: list controls filled from
// the file system. Setting a drive or a path that cannot be read throws a
// PlatformError and leaves the control as it was.

#include "platform/controls.h"
#include "platform/mounts.h"

#include <functional>
#include <string>
#include <vector>

namespace zembra {

inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPathNotFound = 76;

// A drop-down list of the drives; selecting one runs onClick (its change event).
class DriveListBox : public ComboBox {
  public:
    DriveListBox(Form& form, std::string name, Control* parent = nullptr);

    // Where the drives come from; tests give their own.
    std::function<std::vector<Mount>()> source = LocalMounts;

    // Lists the drives again, keeping the selected one when it is still there.
    void Refresh();
    // The text of the selected drive, such as "/media/card [HOLIDAY]".
    std::string Drive() const { return Text(); }
    std::string MountPoint() const { return DriveMountPoint(Text()); }
    // Selects a drive by its text, or the drive that holds a path.
    void setDrive(const std::string& driveOrPath);

  private:
    int find(const std::string& driveOrPath) const;
};

// The folder tree: the folders from the root down to the current folder, then
// the current folder's subfolders, indented by depth. The highlighted entry is the
// selected one; a double-click opens it.
class DirListBox : public ListBox {
  public:
    DirListBox(Form& form, std::string name, Control* parent = nullptr);

    const std::string& Path() const { return path_; }
    // Makes a folder current and highlights it; runs onChange when it changed.
    void setPath(const std::string& path);
    // Reads the current folder again.
    void Refresh();
    // Full path of the highlighted entry, the current folder when none is.
    std::string Highlighted() const;
    // Full path of entry i.
    const std::string& PathAt(int i) const { return paths_.at(static_cast<std::size_t>(i)); }

    Handler onChange;

  private:
    void fill(const std::string& path, const std::vector<std::string>& subfolders);
    std::string path_;
    std::vector<std::string> paths_;
};

// The files of one folder, sorted by name, hidden files left out.
class FileListBox : public ListBox {
  public:
    FileListBox(Form& form, std::string name, Control* parent = nullptr)
        : ListBox(form, std::move(name), parent) {}
    const std::string& Path() const { return path_; }
    void setPath(const std::string& path);
    void Refresh() { setPath(path_); }

  private:
    std::string path_;
};

// A folder path as the tree holds it: absolute, no "." or "..", no trailing "/"
// except for the root.
std::string NormalFolder(const std::string& path);

} // namespace zembra
