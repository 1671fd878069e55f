#include "exif/container_exif.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/byte_reader.h"

namespace zembra::exif {

namespace {

// Far beyond any camera's block (a JPEG segment holds at most 64 KiB); only
// hostile files reach them.
constexpr std::uint64_t kLargestBlock = std::uint64_t{1} << 20;
constexpr std::uint64_t kMostEntries = 4096;

using Span = std::span<const std::uint8_t>;

bool Is(std::optional<Span> bytes, std::string_view text) {
    return bytes && bytes->size() == text.size() &&
           std::memcmp(bytes->data(), text.data(), text.size()) == 0;
}

bool IsTiffHeader(Span b) {
    return b.size() >= 8 && ((b[0] == 'I' && b[1] == 'I' && b[2] == 42 && b[3] == 0) ||
                             (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 42));
}

// The block from its TIFF header on, stepping over an "Exif\0\0" mark that some
// writers put first.
std::optional<Bytes> FromTiffHeader(Span b) {
    if (b.size() >= 6 && std::memcmp(b.data(), "Exif\0\0", 6) == 0)
        b = b.subspan(6);
    if (!IsTiffHeader(b))
        return std::nullopt;
    return Bytes(b.begin(), b.end());
}

// [SECTION] WebP: RIFF chunks, little-endian sizes, each padded to an even length.

std::optional<Bytes> WebpExif(Span file) {
    const ByteReader r(file, ByteOrder::Little);
    if (!Is(r.Sub(0, 4), "RIFF") || !Is(r.Sub(8, 4), "WEBP"))
        return std::nullopt;
    for (std::uint64_t at = 12; r.Has(at, 8);) {
        const std::uint64_t size = *r.U32At(at + 4);
        if (Is(r.Sub(at, 4), "EXIF")) {
            const auto data = r.Sub(at + 8, std::min(size, kLargestBlock));
            return data ? FromTiffHeader(*data) : std::nullopt;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// [SECTION] HEIF: ISO boxes, big-endian. The Exif item is named in iinf and
// located in iloc, both inside the top-level meta box.

struct Box {
    std::uint64_t start = 0; // of the contents, after size and type
    std::uint64_t end = 0;
};

// The first box of this type among those from `from` to `to`.
std::optional<Box> FindBox(const ByteReader& r, std::uint64_t from, std::uint64_t to,
                           std::string_view type) {
    for (std::uint64_t at = from; at < to && r.Has(at, 8);) {
        std::uint64_t size = *r.U32At(at);
        std::uint64_t header = 8;
        if (size == 1) {
            const auto large = r.UIntAt(at + 8, 8);
            if (!large)
                return std::nullopt;
            size = *large;
            header = 16;
        } else if (size == 0) {
            size = to - at; // runs to the end
        }
        if (size < header || size > to - at)
            return std::nullopt;
        if (Is(r.Sub(at + 4, 4), type))
            return Box{at + header, at + size};
        at += size;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> ExifItemId(const ByteReader& r, const Box& iinf) {
    const auto version = r.U8At(iinf.start);
    if (!version)
        return std::nullopt;
    const std::uint64_t countSize = *version == 0 ? 2 : 4;
    const auto count = r.UIntAt(iinf.start + 4, countSize);
    if (!count)
        return std::nullopt;
    std::uint64_t at = iinf.start + 4 + countSize;
    for (std::uint64_t i = 0; i < std::min(*count, kMostEntries); ++i) {
        const auto infe = FindBox(r, at, iinf.end, "infe");
        if (!infe)
            return std::nullopt;
        const auto infeVersion = r.U8At(infe->start);
        if (infeVersion && *infeVersion >= 2) {
            const std::uint64_t idSize = *infeVersion == 2 ? 2 : 4;
            const auto id = r.UIntAt(infe->start + 4, idSize);
            if (id && Is(r.Sub(infe->start + 4 + idSize + 2, 4), "Exif"))
                return *id;
        }
        at = infe->end;
    }
    return std::nullopt;
}

// The item's bytes, its extents joined: in the file (construction method 0) or
// in the meta box's idat (method 1).
std::optional<Bytes> ItemBytes(const ByteReader& r, const Box& meta, const Box& iloc,
                               std::uint64_t item) {
    const auto version = r.U8At(iloc.start);
    const auto sizes = r.U8At(iloc.start + 4);
    const auto sizes2 = r.U8At(iloc.start + 5);
    if (!version || !sizes || !sizes2 || *version > 2)
        return std::nullopt;
    const unsigned offsetSize = *sizes >> 4, lengthSize = *sizes & 15, baseSize = *sizes2 >> 4;
    const unsigned indexSize = *version == 0 ? 0 : *sizes2 & 15;
    const auto valid = [](unsigned n) { return n == 0 || n == 4 || n == 8; };
    if (!valid(offsetSize) || !valid(lengthSize) || !valid(baseSize) || !valid(indexSize))
        return std::nullopt;
    // A field of 0 bytes reads as 0.
    std::uint64_t at = iloc.start + 6;
    bool ok = true;
    const auto field = [&](unsigned n) -> std::uint64_t {
        if (n == 0)
            return 0;
        const auto v = r.UIntAt(at, n);
        ok = ok && v.has_value();
        at += n;
        return v.value_or(0);
    };
    const unsigned idSize = *version < 2 ? 2 : 4;
    const std::uint64_t count = field(idSize);
    for (std::uint64_t i = 0; ok && i < std::min(count, kMostEntries); ++i) {
        const std::uint64_t id = field(idSize);
        const std::uint64_t method = *version == 0 ? 0 : field(2) & 15;
        field(2); // data reference: always this file
        const std::uint64_t base = field(baseSize);
        const std::uint64_t extents = field(2);
        Bytes data;
        for (std::uint64_t e = 0; ok && e < extents; ++e) {
            field(indexSize);
            const std::uint64_t offset = field(offsetSize);
            const std::uint64_t length = field(lengthSize);
            if (id != item)
                continue;
            std::uint64_t origin = 0;
            if (method == 1) {
                const auto idat = FindBox(r, meta.start + 4, meta.end, "idat");
                if (!idat)
                    return std::nullopt;
                origin = idat->start;
            } else if (method != 0) {
                return std::nullopt;
            }
            if (base > r.Size() || offset > r.Size() || origin > r.Size())
                return std::nullopt;
            // A length of 0 is the rest of the file.
            const auto part = length == 0 ? r.Tail(origin + base + offset)
                                          : r.Sub(origin + base + offset, length);
            if (!part || part->size() > kLargestBlock - data.size())
                return std::nullopt;
            data.insert(data.end(), part->begin(), part->end());
        }
        if (id == item)
            return ok ? std::optional<Bytes>(std::move(data)) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<Bytes> HeifExif(Span file) {
    const ByteReader r(file, ByteOrder::Big);
    if (!Is(r.Sub(4, 4), "ftyp"))
        return std::nullopt;
    const auto meta = FindBox(r, 0, file.size(), "meta");
    if (!meta)
        return std::nullopt;
    // meta is a full box: four bytes of version and flags before its children.
    const auto iinf = FindBox(r, meta->start + 4, meta->end, "iinf");
    const auto iloc = FindBox(r, meta->start + 4, meta->end, "iloc");
    if (!iinf || !iloc)
        return std::nullopt;
    const auto id = ExifItemId(r, *iinf);
    if (!id)
        return std::nullopt;
    const auto item = ItemBytes(r, *meta, *iloc, *id);
    if (!item)
        return std::nullopt;
    // The item starts with the offset of the TIFF header past these four bytes.
    const ByteReader itemReader(*item, ByteOrder::Big);
    const auto skip = itemReader.U32At(0);
    const auto block = skip ? itemReader.Tail(std::uint64_t{4} + *skip) : std::nullopt;
    return block ? FromTiffHeader(*block) : std::nullopt;
}

// [SECTION] JPEG: the first APP1 segment marked "Exif".

std::optional<Bytes> JpegExif(Span file) {
    const ByteReader r(file, ByteOrder::Big);
    if (!Is(r.Sub(0, 2), "\xFF\xD8"))
        return std::nullopt;
    for (std::uint64_t at = 2; r.Has(at, 4);) {
        const auto marker = *r.U8At(at + 1);
        if (*r.U8At(at) != 0xFF)
            return std::nullopt;
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // the scan or the end: no more segments
            return std::nullopt;
        const std::uint64_t length = *r.U16At(at + 2);
        if (marker == 0xE1 && Is(r.Sub(at + 4, 6), std::string_view("Exif\0\0", 6))) {
            const auto data = r.Sub(at + 10, length < 8 ? 0 : length - 8);
            return data ? FromTiffHeader(*data) : std::nullopt;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

bool IsExifContainer(std::span<const std::uint8_t> file) {
    const ByteReader r(file, ByteOrder::Big);
    return (Is(r.Sub(0, 4), "RIFF") && Is(r.Sub(8, 4), "WEBP")) || Is(r.Sub(4, 4), "ftyp");
}

std::optional<Bytes> ContainerExifBlock(std::span<const std::uint8_t> file) {
    if (auto webp = WebpExif(file))
        return webp;
    return HeifExif(file);
}

std::optional<Bytes> ExifTiffBlock(std::span<const std::uint8_t> file) {
    if (auto jpeg = JpegExif(file))
        return jpeg;
    return ContainerExifBlock(file);
}

Bytes AsExifApp1File(std::span<const std::uint8_t> tiffBlock) {
    // The length field cannot say more than 65535; the reader goes by the
    // block's own offsets, not by it.
    const std::size_t length = std::min<std::size_t>(tiffBlock.size() + 8, 0xFFFF);
    Bytes out = {0xFF,
                 0xD8,
                 0xFF,
                 0xE1,
                 static_cast<std::uint8_t>(length >> 8),
                 static_cast<std::uint8_t>(length),
                 'E',
                 'x',
                 'i',
                 'f',
                 0,
                 0};
    out.insert(out.end(), tiffBlock.begin(), tiffBlock.end());
    return out;
}

} // namespace zembra::exif
