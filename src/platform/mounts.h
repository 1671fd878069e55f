#pragma once
// The drives of this machine: the mounted local file systems, each shown in the
// drive list as its mount point and, when it has one, its volume label.

#include <string>
#include <string_view>
#include <vector>

namespace zembra {

struct Mount {
    std::string device;
    std::string mountPoint;
    std::string type;
    std::string label; // volume label, empty when unknown
};

// The local file systems of a mounts table (the format of /proc/self/mounts), in
// mount-point order. Kernel, memory and network file systems are left out; the root
// is always kept. A mount point mounted twice keeps its last entry, the one in use.
std::vector<Mount> ParseMounts(std::string_view table);

// The local file systems mounted now, with their labels; only mount points that
// are folders (containers bind single files too).
std::vector<Mount> LocalMounts();

// "/media/card [HOLIDAY]", or the mount point alone when there is no label.
std::string DriveText(const Mount& mount);

// The mount point of a drive text.
std::string DriveMountPoint(std::string_view driveText);

} // namespace zembra
