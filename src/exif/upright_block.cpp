#include "exif/upright_block.h"

#include "exif/container_exif.h"
#include "exif/file_start.h"
#include "exif/segment_walk.h"
#include "platform/byte_reader.h"

#include <cstring>

namespace zembra::exif {

namespace {

constexpr std::uint16_t kOrientation = 274;
constexpr std::uint16_t kImageWidth = 256;
constexpr std::uint16_t kImageLength = 257;
constexpr std::uint16_t kExifDirectory = 0x8769;
constexpr std::uint16_t kPixelXDimension = 0xA002;
constexpr std::uint16_t kPixelYDimension = 0xA003;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kMostEntries = 1024;

std::optional<ByteOrder> OrderOf(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8)
        return std::nullopt;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        return ByteOrder::Little;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        return ByteOrder::Big;
    return std::nullopt;
}

void Put(std::span<std::uint8_t> b, std::uint64_t at, std::uint32_t value, int n, ByteOrder order) {
    for (int i = 0; i < n; ++i) {
        const int shift = order == ByteOrder::Little ? 8 * i : 8 * (n - 1 - i);
        b[static_cast<std::size_t>(at) + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(value >> shift);
    }
}

struct Entry {
    std::uint16_t tag = 0, type = 0;
    std::uint32_t count = 0;
    std::uint64_t at = 0; // of the entry's first byte
};

// Calls `visit` for each entry of the directory at `directory`; the offset of the
// link to the next directory, or nullopt when the directory runs past the block.
template <class Visit>
std::optional<std::uint64_t> WalkDirectory(const ByteReader& r, std::uint64_t directory,
                                           Visit&& visit) {
    const auto count = r.U16At(directory);
    if (!count || *count > kMostEntries || !r.Has(directory + 2, 12 * std::uint64_t{*count} + 4))
        return std::nullopt;
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::uint64_t at = directory + 2 + 12 * i;
        visit(Entry{*r.U16At(at), *r.U16At(at + 2), *r.U32At(at + 4), at});
    }
    return directory + 2 + 12 * std::uint64_t{*count};
}

} // namespace

int OrientationOf(std::span<const std::uint8_t> tiff) {
    const auto order = OrderOf(tiff);
    if (!order)
        return 1;
    const ByteReader r(tiff, *order);
    int orientation = 1;
    WalkDirectory(r, r.U32At(4).value_or(0), [&](const Entry& e) {
        if (e.tag == kOrientation && e.type == kShort && e.count == 1) {
            const auto value = r.U16At(e.at + 8);
            if (value && *value >= 1 && *value <= 8)
                orientation = *value;
        }
    });
    return orientation;
}

int FileOrientation(const Files& files, const std::string& path) {
    const auto start = ReadExifStart(files, path);
    if (!start ||
        (start->bytes.size() >= 8 && std::memcmp(start->bytes.data() + 4, "ftyp", 4) == 0))
        return 1;
    const auto block = ExifTiffBlock(start->bytes);
    return block ? OrientationOf(*block) : 1;
}

bool MarkUpright(std::span<std::uint8_t> tiff, int width, int height) {
    const auto order = OrderOf(tiff);
    if (!order)
        return false;
    const ByteReader r(tiff, *order);
    // A size goes into a SHORT or LONG slot; a size a SHORT cannot hold is left.
    const auto putSize = [&](const Entry& e, int value) {
        if (e.count != 1)
            return;
        if (e.type == kLong)
            Put(tiff, e.at + 8, static_cast<std::uint32_t>(value), 4, *order);
        else if (e.type == kShort && value <= 0xFFFF)
            Put(tiff, e.at + 8, static_cast<std::uint32_t>(value), 2, *order);
    };
    std::uint64_t exifDirectory = 0;
    const auto link = WalkDirectory(r, r.U32At(4).value_or(0), [&](const Entry& e) {
        if (e.tag == kOrientation && e.type == kShort && e.count == 1)
            Put(tiff, e.at + 8, 1, 2, *order);
        else if (e.tag == kImageWidth)
            putSize(e, width);
        else if (e.tag == kImageLength)
            putSize(e, height);
        else if (e.tag == kExifDirectory && e.count == 1)
            exifDirectory = r.U32At(e.at + 8).value_or(0);
    });
    if (!link)
        return false;
    Put(tiff, *link, 0, 4, *order); // IFD1, the thumbnail's directory, is unlinked
    if (exifDirectory == 0)
        return true;
    return WalkDirectory(r, exifDirectory,
                         [&](const Entry& e) {
                             if (e.tag == kPixelXDimension)
                                 putSize(e, width);
                             else if (e.tag == kPixelYDimension)
                                 putSize(e, height);
                         })
        .has_value();
}

bool MarkUprightInJpeg(Bytes& jpeg, int width, int height) {
    const auto app1 = ExifApp1Bytes(jpeg);
    // The segment: marker, length, "Exif\0\0", then the block.
    if (!app1 || app1->size() < 10 + 8 || (*app1)[4] != 'E' || (*app1)[5] != 'x')
        return false;
    const auto start = static_cast<std::size_t>(app1->data() - jpeg.data()) + 10;
    return MarkUpright(std::span<std::uint8_t>(jpeg).subspan(start, app1->size() - 10), width,
                       height);
}

} // namespace zembra::exif
