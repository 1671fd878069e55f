// The mounts table and user-dirs.dirs parsers over arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/mounts.h"
#include "platform/user_dirs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const zembra::Mount& mount : zembra::ParseMounts(text))
        (void)zembra::DriveMountPoint(zembra::DriveText(mount));
    (void)zembra::ParseUserDir(text, "XDG_PICTURES_DIR", "/home/u");
    (void)zembra::ParseUserDir(text, "XDG_DESKTOP_DIR", "/");
    return 0;
}
