#include "platform/mounts.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zembra {

namespace {

// File systems that hold no user's pictures, or that live elsewhere on a network.
constexpr std::array<std::string_view, 30> kNotLocal = {
    "autofs",    "binfmt_misc", "bpf",    "cgroup",     "cgroup2",    "cifs",
    "configfs",  "debugfs",     "devpts", "devtmpfs",   "efivarfs",   "fusectl",
    "hugetlbfs", "mqueue",      "nfs",    "nfs4",       "nsfs",       "overlay",
    "proc",      "pstore",      "ramfs",  "rpc_pipefs", "securityfs", "smb3",
    "squashfs",  "sysfs",       "tmpfs",  "tracefs",    "fuse.sshfs", "fuse.gvfsd-fuse",
};

// Fields of the table write blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && 3 <= field.size() - i - 1) {
            const auto digit = [&](std::size_t k) { return field[i + k] - '0'; };
            bool octal = true;
            for (std::size_t k = 1; k <= 3; ++k)
                octal = octal && field[i + k] >= '0' && field[i + k] <= '7';
            if (octal) {
                out += static_cast<char>(digit(1) * 64 + digit(2) * 8 + digit(3));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool Local(const Mount& mount) {
    if (mount.mountPoint == "/")
        return true;
    if (std::find(kNotLocal.begin(), kNotLocal.end(), mount.type) != kNotLocal.end())
        return false;
    // Disks and partitions are block devices; "none", "sysfs" and the like are not.
    return mount.device.starts_with("/dev/");
}

// Labels are the names of the links in /dev/disk/by-label, escaped like udev does.
std::string LabelOf(const std::string& device) {
    std::error_code ec;
    const std::filesystem::path byLabel("/dev/disk/by-label");
    const auto target = std::filesystem::canonical(device, ec);
    if (ec)
        return {};
    for (std::filesystem::directory_iterator it(byLabel, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code linkError;
        if (std::filesystem::canonical(it->path(), linkError) != target || linkError)
            continue;
        // udev writes a blank as \x20.
        std::string name = it->path().filename().string();
        for (std::size_t at; (at = name.find("\\x20")) != std::string::npos;)
            name.replace(at, 4, " ");
        return name;
    }
    return {};
}

} // namespace

std::vector<Mount> ParseMounts(std::string_view table) {
    std::vector<Mount> mounts;
    std::size_t start = 0;
    while (start < table.size()) {
        std::size_t end = table.find('\n', start);
        if (end == std::string_view::npos)
            end = table.size();
        std::istringstream line{std::string(table.substr(start, end - start))};
        start = end + 1;
        std::string device, point, type;
        if (!(line >> device >> point >> type))
            continue;
        Mount mount{Unescape(device), Unescape(point), Unescape(type), {}};
        if (!mount.mountPoint.starts_with('/') || !Local(mount))
            continue;
        std::erase_if(mounts, [&](const Mount& m) { return m.mountPoint == mount.mountPoint; });
        mounts.push_back(std::move(mount));
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const Mount& a, const Mount& b) { return a.mountPoint < b.mountPoint; });
    return mounts;
}

std::vector<Mount> LocalMounts() {
    std::ifstream in("/proc/self/mounts");
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<Mount> mounts = ParseMounts(text.str());
    std::erase_if(mounts, [](const Mount& m) {
        std::error_code ec;
        return !std::filesystem::is_directory(m.mountPoint, ec);
    });
    if (mounts.empty())
        mounts.push_back({"", "/", "", ""});
    for (Mount& mount : mounts)
        mount.label = LabelOf(mount.device);
    return mounts;
}

std::string DriveText(const Mount& mount) {
    return mount.label.empty() ? mount.mountPoint : mount.mountPoint + " [" + mount.label + "]";
}

std::string DriveMountPoint(std::string_view driveText) {
    if (driveText.ends_with(']')) {
        if (const auto open = driveText.rfind(" ["); open != std::string_view::npos)
            return std::string(driveText.substr(0, open));
    }
    return std::string(driveText);
}

} // namespace zembra
