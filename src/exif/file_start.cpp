#include "exif/file_start.h"

#include <algorithm>

namespace zembra::exif {

std::optional<FileStart> ReadExifStart(const Files& files, const std::string& path,
                                       std::size_t first) {
    std::size_t want = first;
    for (;;) {
        auto bytes = files.ReadHead(path, want);
        if (!bytes)
            return std::nullopt;
        if (bytes->size() < want)
            return FileStart{std::move(*bytes), true};
        const std::size_t reach = ExifApp1Reach(*bytes);
        if (reach == 0 || want >= kMostHeadBytes)
            return FileStart{std::move(*bytes), false};
        // Each further read starts again at the front: doubling keeps the bytes
        // read to twice the bytes kept.
        want = std::min(kMostHeadBytes, std::max(reach, want * 2));
    }
}

} // namespace zembra::exif
