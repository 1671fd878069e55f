#pragma once
// Pictures for the imaging tests: made in memory, and written in the odd variants
// of each format with the format's own library, so no binaries need keeping.

#include "imaging/codec.h"
#include "platform/files.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace zembra::testing {

// A picture of the given pixels, row by row.
inline Surface Pixels(int w, int h, const std::vector<std::uint32_t>& pixels) {
    auto s = Surface::Create(w, h);
    std::copy(pixels.begin(), pixels.end(), s->Pixels().begin());
    return std::move(*s);
}

// A smooth, photo-like picture: gradients in all three channels with a ripple.
inline Surface PhotoLike(int w, int h) {
    auto s = Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->Row(y)[static_cast<std::size_t>(x)] =
                0xFF000000u | std::uint32_t(255 * x / std::max(1, w - 1)) << 16 |
                std::uint32_t(255 * y / std::max(1, h - 1)) << 8 |
                std::uint32_t((x * 7 + y * 13) % 256);
    return std::move(*s);
}

inline Bytes ReadFile(const std::string& path) {
    return Files::Local().ReadAll(path).value_or(Bytes{});
}

// Channel `shift` / 8 of a pixel (0 blue ... 3 alpha).
inline int Channel(std::uint32_t pixel, int shift) {
    return int((pixel >> shift) & 0xFF);
}

// Every channel of every pixel within `tolerance`; names the first that is not.
inline ::testing::AssertionResult SamePixels(const Surface& got, const Surface& want,
                                             int tolerance = 0) {
    if (got.Width() != want.Width() || got.Height() != want.Height())
        return ::testing::AssertionFailure()
               << "size " << got.Width() << "x" << got.Height() << ", expected " << want.Width()
               << "x" << want.Height();
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                if (std::abs(Channel(got.At(x, y), shift) - Channel(want.At(x, y), shift)) >
                    tolerance)
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << ", " << y << ") is " << std::hex << got.At(x, y)
                           << ", expected " << want.At(x, y);
    return ::testing::AssertionSuccess();
}

// Frame 0 of `bytes` through `decode`, compared with `want`.
template <class Decode>
::testing::AssertionResult DecodesTo(Decode decode, const Bytes& bytes, const Surface& want,
                                     int tolerance = 0) {
    auto decoded = decode(bytes, DecodeLimits{}, 0);
    if (!decoded)
        return ::testing::AssertionFailure() << "not decoded: " << decoded.failure().detail;
    return SamePixels(decoded.value().pixels, want, tolerance);
}

// Mean absolute difference per channel over the given channels (by default all but
// alpha), for lossy round trips.
inline double MeanError(const Surface& a, const Surface& b,
                        std::initializer_list<int> shifts = {0, 8, 16}) {
    double total = 0;
    for (std::size_t i = 0; i < a.Pixels().size(); ++i)
        for (int shift : shifts)
            total += std::abs(Channel(a.Pixels()[i], shift) - Channel(b.Pixels()[i], shift));
    return total / (static_cast<double>(shifts.size() * a.Pixels().size()));
}

// Enough of an ICC profile for JPEG and TIFF, which carry profiles unread and keep
// only RGB ones: 156 bytes with the data colour space at 16. libpng refuses it.
inline std::vector<std::uint8_t> FakeProfile(const char colorSpace[4]) {
    std::vector<std::uint8_t> p(156, 7);
    std::copy_n(colorSpace, 4, p.begin() + 16);
    return p;
}

// A display profile for RGB that libpng accepts: a version 2 header with the D50
// illuminant, a white point and a private tag. The private tag's bytes do not
// compress, since libpng ignores an iCCP chunk under 92 bytes.
inline std::vector<std::uint8_t> RgbDisplayProfile() {
    std::vector<std::uint8_t> p;
    auto u32 = [&p](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            p.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    auto text = [&p](const char(&s)[5]) { p.insert(p.end(), s, s + 4); };
    auto d50 = [&u32] { // 0.9642, 1.0, 0.8249 in s15.16
        u32(0xF6D6);
        u32(0x10000);
        u32(0xD32D);
    };
    constexpr std::uint32_t kTags = 128 + 4 + 2 * 12, kWhite = 20, kPrivate = 128;
    u32(kTags + kWhite + kPrivate);
    u32(0);
    u32(0x02100000); // version 2.1
    text("mntr");
    text("RGB ");
    text("XYZ ");
    p.resize(36, 0);
    text("acsp");
    p.resize(68, 0);
    d50();
    p.resize(128, 0);
    u32(2);
    text("wtpt");
    u32(kTags);
    u32(kWhite);
    text("zmbr");
    u32(kTags + kWhite);
    u32(kPrivate);
    text("XYZ ");
    u32(0);
    d50();
    for (std::uint32_t i = 0; i < kPrivate; ++i)
        p.push_back(static_cast<std::uint8_t>((i * 73 + 41) % 251));
    return p;
}

// [SECTION] PNG variants through libpng

struct PngLayout {
    int width = 3, height = 2;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlace = false;
    std::vector<png_color> palette{};
    std::vector<png_byte> paletteAlpha{};
};

// Samples row by row, channels in file order, each within the bit depth.
inline Bytes WritePng(const PngLayout& layout, const std::vector<unsigned>& samples) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep d, png_size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), d, d + n);
        },
        nullptr);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(),
                     static_cast<int>(layout.paletteAlpha.size()), nullptr);
    const int bytes = layout.bitDepth == 16 ? 2 : 1;
    std::vector<png_byte> data;
    for (unsigned v : samples) {
        if (bytes == 2)
            data.push_back(static_cast<png_byte>(v >> 8));
        data.push_back(static_cast<png_byte>(v));
    }
    std::vector<png_bytep> pointers;
    for (int y = 0; y < layout.height; ++y)
        pointers.push_back(
            &data[std::size_t(y * layout.width * png_get_channels(png, info) * bytes)]);
    png_set_rows(png, info, pointers.data());
    // Samples below 8 bits come one a byte.
    png_write_png(png, info, PNG_TRANSFORM_PACKING, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// [SECTION] JPEG variants through libjpeg, at quality 100

struct JpegLayout {
    J_COLOR_SPACE input = JCS_RGB; // JCS_RGB (3 samples), JCS_GRAYSCALE (1) or JCS_CMYK (4)
    bool progressive = false;
    bool adobeMarker = true; // for CMYK: written by default; off gives plain CMYK
    std::vector<std::uint8_t> icc{};
};

inline Bytes WriteJpeg(const JpegLayout& layout, int width, int height,
                       const std::vector<std::uint8_t>& samples) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = layout.input == JCS_GRAYSCALE ? 1 : layout.input == JCS_CMYK ? 4 : 3;
    c.in_color_space = layout.input;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    // 4:4:4, so flat test colours survive exactly enough to compare.
    for (int i = 0; i < c.num_components; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    c.write_Adobe_marker = c.write_Adobe_marker && layout.adobeMarker;
    if (layout.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (!layout.icc.empty())
        jpeg_write_icc_profile(&c, layout.icc.data(), static_cast<unsigned>(layout.icc.size()));
    const std::size_t stride = static_cast<std::size_t>(width) * c.input_components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + c.next_scanline * stride);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace zembra::testing
