#include "exif/segment_walk.h"

#include "platform/byte_reader.h"

#include <algorithm>
#include <iterator>

namespace zembra::exif {

namespace {
constexpr std::uint8_t kMarkerByte = 0xFF;
constexpr std::uint8_t kApp1 = 0xE1;
} // namespace

namespace {

bool IsExifPayload(const ByteReader& r, const Segment& app1) {
    const auto mark = r.Sub(app1.pos + 4, 6);
    static constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    return mark && std::equal(mark->begin(), mark->end(), std::begin(kExif));
}

// The first APP1 met from offset 2, or with `exifOnly` the first whose payload is
// an EXIF block.
std::optional<Segment> FindApp1(std::span<const std::uint8_t> file, bool exifOnly) {
    const ByteReader r(file, ByteOrder::Big);
    const std::size_t size = file.size();
    std::size_t p = 2;
    // A marker and its length field need four bytes, and the walk never looks at
    // the last byte as a marker start: p + 4 < size.
    while (size > 4 && p < size - 4) {
        if (file[p] == kMarkerByte && file[p + 1] == kMarkerByte) {
            while (p + 1 < size && file[p + 1] == kMarkerByte)
                ++p;
        }
        const auto first = r.U8At(p);
        const auto second = r.U8At(p + 1);
        const auto length = r.U16At(p + 2);
        // Fill bytes that run to the end of the file: no marker follows.
        if (!first || !second || !length)
            return std::nullopt;
        if (*first == kMarkerByte && *second == kApp1 &&
            (!exifOnly || IsExifPayload(r, Segment{p, *length})))
            return Segment{p, *length};
        p += std::size_t{*length} + 2;
    }
    return std::nullopt;
}

} // namespace

std::optional<Segment> FindFirstApp1(std::span<const std::uint8_t> file) {
    return FindApp1(file, false);
}

std::optional<std::span<const std::uint8_t>> ExifApp1Bytes(std::span<const std::uint8_t> file) {
    auto app1 = FindApp1(file, true);
    if (!app1)
        app1 = FindApp1(file, false);
    if (!app1)
        return std::nullopt;
    return ByteReader(file, ByteOrder::Big).Sub(app1->pos, std::uint64_t{app1->length} + 2);
}

std::size_t ExifApp1Reach(std::span<const std::uint8_t> start) {
    const ByteReader r(start, ByteOrder::Big);
    const std::size_t size = start.size();
    if (size < 2)
        return 2;
    if (start[0] != kMarkerByte || start[1] != 0xD8)
        return 0;
    // Every step moves on by at least one byte, and no offset goes past the
    // 64 KiB one length field can add to the last.
    for (std::size_t at = 2;;) {
        if (!r.Has(at, 4))
            return at + 4;
        const std::uint8_t marker = *r.U8At(at + 1);
        if (*r.U8At(at) != kMarkerByte || marker == 0xDA || marker == 0xD9)
            return 0;
        if (marker == kMarkerByte) { // a fill byte
            ++at;
            continue;
        }
        const std::size_t end = at + 2 + *r.U16At(at + 2);
        if (marker == kApp1) {
            if (!r.Has(at + 4, 6))
                return at + 10;
            if (IsExifPayload(r, Segment{at, 0}))
                return end <= size ? 0 : end;
        }
        at = end;
    }
}

StripResult WithoutFirstApp1(std::span<const std::uint8_t> file) {
    const auto app1 = FindFirstApp1(file);
    if (!app1)
        return {StripOutcome::NoApp1, {}};
    const std::size_t skip = app1->length + 2;
    if (skip > file.size() - app1->pos)
        return {StripOutcome::PastTheEnd, {}};
    Bytes out;
    out.reserve(file.size() - skip);
    out.insert(out.end(), file.begin(), file.begin() + static_cast<std::ptrdiff_t>(app1->pos));
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(app1->pos + skip), file.end());
    return {StripOutcome::Removed, std::move(out)};
}

std::optional<std::span<const std::uint8_t>> FirstApp1Bytes(std::span<const std::uint8_t> file) {
    const auto app1 = FindFirstApp1(file);
    if (!app1)
        return std::nullopt;
    return ByteReader(file, ByteOrder::Big).Sub(app1->pos, std::uint64_t{app1->length} + 2);
}

std::optional<Bytes> WithSegmentAfterSoi(std::span<const std::uint8_t> dest,
                                         std::span<const std::uint8_t> segment) {
    if (dest.size() < 2)
        return std::nullopt;
    Bytes out;
    out.reserve(dest.size() + segment.size());
    out.insert(out.end(), dest.begin(), dest.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), dest.begin() + 2, dest.end());
    return out;
}

} // namespace zembra::exif
