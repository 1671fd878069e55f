// BMP files: every header generation, 1/4/8/16/24/32 bits, RLE4 and RLE8,
// bottom-up and top-down rows in; 24-bit bottom-up out. The reader trusts no
// field: sizes are multiplied in 64 bits and every read is checked.

#include "imaging/codec.h"
#include "platform/byte_reader.h"

#include <algorithm>
#include <bit>
#include <string>

namespace zembra {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

Failure Corrupt(std::string what) {
    return Failure{GpStatus::GenericError, "BMP: " + std::move(what)};
}

struct Header {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // positive; topDown tells the row order
    bool topDown = false;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool hasMasks = false;
};

// One colour channel described by a bit mask.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        bits = std::popcount(m >> shift);
    }
    // The channel's value scaled to 0..255.
    std::uint32_t Extract(std::uint32_t pixel) const {
        if (bits == 0)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return v >> (bits - 8);
        const std::uint32_t max = (1u << bits) - 1;
        return (v * 255 + max / 2) / max;
    }
};

Result<Header> ReadHeader(ByteReader& r) {
    Header h;
    auto size = r.U32();
    if (!size)
        return Corrupt("the header is cut short");
    h.headerSize = *size;
    if (h.headerSize == kCoreHeaderSize) {
        auto w = r.U16();
        auto ht = r.U16();
        auto planes = r.U16();
        auto bits = r.U16();
        if (!w || !ht || !planes || !bits)
            return Corrupt("the header is cut short");
        h.width = *w;
        h.height = *ht;
        h.bitCount = *bits;
        return h;
    }
    if (h.headerSize < kInfoHeaderSize)
        return Corrupt("unknown header size " + std::to_string(h.headerSize));
    auto w = r.I32();
    auto ht = r.I32();
    auto planes = r.U16();
    auto bits = r.U16();
    auto compression = r.U32();
    auto sizeImage = r.U32();
    auto xppm = r.I32();
    auto yppm = r.I32();
    auto used = r.U32();
    auto important = r.U32();
    if (!w || !ht || !planes || !bits || !compression || !sizeImage || !xppm || !yppm || !used ||
        !important)
        return Corrupt("the header is cut short");
    h.width = *w;
    h.height = *ht;
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height; // 64 bits: INT32_MIN negates safely
    }
    h.bitCount = *bits;
    h.compression = *compression;
    h.colorsUsed = *used;
    // Masks live in the larger headers, or follow the 40-byte header when the
    // compression says so.
    int maskCount = 0;
    if (h.headerSize >= 56)
        maskCount = 4;
    else if (h.headerSize >= 52)
        maskCount = 3;
    else if (h.compression == BI_BITFIELDS)
        maskCount = 3;
    else if (h.compression == BI_ALPHABITFIELDS)
        maskCount = 4;
    for (int i = 0; i < maskCount; ++i) {
        auto m = r.U32();
        if (!m)
            return Corrupt("the colour masks are cut short");
        h.masks[i] = *m;
    }
    h.hasMasks = h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS;
    // The larger headers' masks come before their other fields; skip the rest.
    if (h.headerSize > kInfoHeaderSize && !r.Seek(kFileHeaderSize + h.headerSize))
        return Corrupt("the header is cut short");
    return h;
}

Result<std::vector<std::uint32_t>> ReadPalette(ByteReader& r, const Header& h,
                                               std::uint32_t offBits) {
    std::vector<std::uint32_t> palette;
    if (h.bitCount > 8)
        return palette;
    const std::uint32_t full = 1u << h.bitCount;
    // More entries than the depth can index are never used; read no more than that.
    std::uint32_t count = h.colorsUsed == 0 ? full : std::min(h.colorsUsed, full);
    const std::size_t entry = h.headerSize == kCoreHeaderSize ? 3 : 4;
    // Old files often hold fewer entries than the depth allows; the pixel offset
    // tells where the palette ends.
    if (offBits > r.Pos())
        count =
            std::min<std::uint32_t>(count, static_cast<std::uint32_t>((offBits - r.Pos()) / entry));
    auto bytes = r.Bytes(count * entry);
    if (!bytes)
        return Corrupt("the palette is cut short");
    palette.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* e = bytes->data() + i * entry;
        palette.push_back(0xFF000000u | (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) |
                          e[0]);
    }
    return palette;
}

// Destination row of source row y (rows are stored bottom-up unless topDown).
int TargetRow(const Header& h, std::int64_t y) {
    return static_cast<int>(h.topDown ? y : h.height - 1 - y);
}

Result<GpBitmap> DecodeIndexed(ByteSpan data, const Header& h, std::vector<std::uint32_t> palette,
                               std::size_t stride, const DecodeLimits& limits) {
    auto surface = AllocatePixels(h.width, h.height, limits);
    if (!surface)
        return surface.failure();
    GpBitmap bitmap(std::move(surface.value()));
    IndexedPixels indexed;
    indexed.indices.resize(static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height));
    const int bits = h.bitCount;
    const int perByte = 8 / bits;
    const std::uint32_t mask = (1u << bits) - 1;
    for (std::int64_t y = 0; y < h.height; ++y) {
        auto row = data.subspan(static_cast<std::size_t>(y) * stride, stride);
        const int target = TargetRow(h, y);
        auto out = bitmap.pixels.Row(target);
        auto idx =
            std::span(indexed.indices).subspan(static_cast<std::size_t>(target) * h.width, h.width);
        for (std::int64_t x = 0; x < h.width; ++x) {
            const std::uint8_t byte = row[static_cast<std::size_t>(x / perByte)];
            const int shift = 8 - bits * static_cast<int>(x % perByte + 1);
            const std::uint32_t index = (byte >> shift) & mask;
            idx[x] = static_cast<std::uint8_t>(index);
            // An index past the palette shows black.
            out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
        }
    }
    bitmap.pixelFormat = bits == 1   ? PixelFormat1bppIndexed
                         : bits == 4 ? PixelFormat4bppIndexed
                                     : PixelFormat8bppIndexed;
    indexed.palette = std::move(palette);
    bitmap.indexed = std::move(indexed);
    return bitmap;
}

Result<GpBitmap> DecodeDirect(ByteSpan data, const Header& h, std::size_t stride,
                              const DecodeLimits& limits) {
    auto surface = AllocatePixels(h.width, h.height, limits);
    if (!surface)
        return surface.failure();
    GpBitmap bitmap(std::move(surface.value()));

    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (!h.hasMasks) {
        // Without bit fields, 16 bits are 5-5-5 and 32 bits carry no alpha.
        if (h.bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0x00FF0000;
            masks[1] = 0x0000FF00;
            masks[2] = 0x000000FF;
        }
        masks[3] = 0;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const bool withAlpha = alpha.bits > 0;
    bool anyAlpha = false;
    const std::size_t bytesPerPixel = h.bitCount / 8;
    for (std::int64_t y = 0; y < h.height; ++y) {
        auto row = data.subspan(static_cast<std::size_t>(y) * stride, stride);
        auto out = bitmap.pixels.Row(TargetRow(h, y));
        for (std::int64_t x = 0; x < h.width; ++x) {
            const auto* p = row.data() + static_cast<std::size_t>(x) * bytesPerPixel;
            if (h.bitCount == 24) {
                out[x] =
                    0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
                continue;
            }
            std::uint32_t v = p[0] | (std::uint32_t{p[1]} << 8);
            if (h.bitCount == 32)
                v |= (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
            const std::uint32_t a = withAlpha ? alpha.Extract(v) : 255;
            anyAlpha = anyAlpha || (withAlpha && a != 0);
            out[x] = (a << 24) | (red.Extract(v) << 16) | (green.Extract(v) << 8) | blue.Extract(v);
        }
    }
    if (withAlpha && !anyAlpha) {
        // An alpha mask over all-zero alpha is a writer that did not mean it; such
        // files show opaque everywhere else.
        for (auto& p : bitmap.pixels.Pixels())
            p |= 0xFF000000u;
    }
    bitmap.hasAlpha = withAlpha && anyAlpha;
    bitmap.pixelFormat = bitmap.hasAlpha    ? PixelFormat32bppARGB
                         : h.bitCount == 16 ? PixelFormat16bppRGB555
                         : h.bitCount == 24 ? PixelFormat24bppRGB
                                            : PixelFormat32bppRGB;
    return bitmap;
}

// RLE4 and RLE8: pixels that the runs skip stay transparent.
Result<GpBitmap> DecodeRle(ByteSpan data, const Header& h,
                           const std::vector<std::uint32_t>& palette, const DecodeLimits& limits) {
    auto surface = AllocatePixels(h.width, h.height, limits);
    if (!surface)
        return surface.failure();
    GpBitmap bitmap(std::move(surface.value()));
    std::fill(bitmap.pixels.Pixels().begin(), bitmap.pixels.Pixels().end(), 0u);
    bitmap.hasAlpha = true;
    bitmap.pixelFormat = h.compression == BI_RLE8 ? PixelFormat8bppIndexed : PixelFormat4bppIndexed;

    const bool four = h.compression == BI_RLE4;
    std::int64_t x = 0, y = 0;
    const auto put = [&](std::uint32_t index) {
        if (x < h.width && y < h.height)
            bitmap.pixels.Row(TargetRow(h, y))[static_cast<std::size_t>(x)] =
                index < palette.size() ? palette[index] : 0xFF000000u;
        ++x;
    };
    ByteReader r(data, ByteOrder::Little);
    while (y < h.height) {
        auto count = r.U8();
        auto value = r.U8();
        if (!count || !value) {
            // Some writers leave out the end-of-bitmap mark after the last row.
            if (y >= h.height - 1 && x == 0)
                break;
            return Corrupt("the run-length data is cut short");
        }
        if (*count > 0) {
            for (int i = 0; i < *count; ++i)
                put(four ? (i % 2 == 0 ? *value >> 4 : *value & 0x0F) : *value);
            continue;
        }
        if (*value == 0) { // end of line
            x = 0;
            ++y;
        } else if (*value == 1) { // end of bitmap
            break;
        } else if (*value == 2) { // move right and up
            auto dx = r.U8();
            auto dy = r.U8();
            if (!dx || !dy)
                return Corrupt("the run-length data is cut short");
            x += *dx;
            y += *dy;
        } else { // a literal run of *value pixels, padded to 16 bits
            const std::size_t n = *value;
            const std::size_t bytes = four ? (n + 1) / 2 : n;
            auto literal = r.Bytes(bytes + (bytes % 2));
            if (!literal)
                return Corrupt("the run-length data is cut short");
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint8_t b = (*literal)[four ? i / 2 : i];
                put(four ? (i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
            }
        }
    }
    return bitmap;
}

} // namespace

Result<GpBitmap> DecodeBmp(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter, "BMP files hold one picture"};
    ByteReader r(bytes, ByteOrder::Little);
    auto magic = r.U16();
    auto fileSize = r.U32();
    auto reserved = r.U32();
    auto offBits = r.U32();
    if (!magic || !fileSize || !reserved || !offBits || *magic != 0x4D42)
        return Corrupt("not a BMP file");
    auto header = ReadHeader(r);
    if (!header)
        return header.failure();
    const Header& h = header.value();
    if (h.width <= 0 || h.height <= 0)
        return Corrupt("the picture has no pixels");

    auto palette = ReadPalette(r, h, *offBits);
    if (!palette)
        return palette.failure();

    // Pixels start where the file header says; a zero or impossible offset is taken
    // to mean "right after the palette".
    std::size_t start = r.Pos();
    if (*offBits >= r.Pos() && *offBits < bytes.size())
        start = *offBits;
    auto data = r.Tail(start);
    if (!data)
        return Corrupt("the pixel data is missing");

    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        if ((h.compression == BI_RLE8 && h.bitCount != 8) ||
            (h.compression == BI_RLE4 && h.bitCount != 4))
            return Corrupt("run-length compression does not match the bit depth");
        if (palette.value().empty())
            return Corrupt("a palette picture without a palette");
        return DecodeRle(*data, h, palette.value(), limits);
    }
    const bool fields = h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS;
    if (h.compression != BI_RGB && !fields)
        return Failure{GpStatus::NotImplemented,
                       "BMP: compression " + std::to_string(h.compression) + " is not supported"};
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return Corrupt("unsupported bit depth " + std::to_string(h.bitCount));
    }
    if (fields && h.bitCount != 16 && h.bitCount != 32)
        return Corrupt("bit fields need 16 or 32 bits per pixel");

    if (auto refused = PixelLimitFailure(h.width, h.height, limits))
        return *refused;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(h.width) * h.bitCount + 31) / 32) * 4;
    const std::uint64_t need = stride * static_cast<std::uint64_t>(h.height);
    // Compare before allocating: a short file must not cost a huge surface.
    if (need / stride != static_cast<std::uint64_t>(h.height) || need > data->size())
        return Corrupt("the pixel data is cut short");
    if (h.bitCount <= 8) {
        if (palette.value().empty())
            return Corrupt("a palette picture without a palette");
        return DecodeIndexed(*data, h, std::move(palette.value()), stride, limits);
    }
    return DecodeDirect(*data, h, stride, limits);
}

Result<Bytes> EncodeBmp(const Surface& picture, const EncodeOptions&) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(picture.Width()) * 3 + 3) / 4 * 4;
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(picture.Height());
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        return Failure{GpStatus::ValueOverflow, "BMP files hold at most 4 GiB"};
    Bytes out;
    out.reserve(static_cast<std::size_t>(fileSize));
    const auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(0x4D42);
    u32(static_cast<std::uint32_t>(fileSize));
    u32(0);
    u32(kFileHeaderSize + kInfoHeaderSize);
    u32(kInfoHeaderSize);
    u32(static_cast<std::uint32_t>(picture.Width()));
    u32(static_cast<std::uint32_t>(picture.Height())); // positive: bottom-up rows
    u16(1);
    u16(24);
    u32(BI_RGB);
    u32(static_cast<std::uint32_t>(imageSize));
    u32(3780); // 96 dots per inch, in dots per metre
    u32(3780);
    u32(0);
    u32(0);
    const std::size_t padding =
        static_cast<std::size_t>(stride) - static_cast<std::size_t>(picture.Width()) * 3;
    for (int y = picture.Height() - 1; y >= 0; --y) {
        for (const std::uint32_t p : picture.Row(y)) {
            out.push_back(static_cast<std::uint8_t>(p));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p >> 16));
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

} // namespace zembra
