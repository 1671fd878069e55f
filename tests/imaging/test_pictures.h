#pragma once
// Pictures for the imaging tests: made in memory, and written in the odd variants
// of each format with the format's own library, so no binaries need keeping.

#include "imaging/codec.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace zembra::testing {

// A smooth, photo-like picture: gradients in all three channels with a ripple.
inline Surface PhotoLike(int w, int h) {
    auto s = Surface::Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t r = static_cast<std::uint32_t>(255 * x / std::max(1, w - 1));
            const std::uint32_t g = static_cast<std::uint32_t>(255 * y / std::max(1, h - 1));
            const std::uint32_t b = static_cast<std::uint32_t>((x * 7 + y * 13) % 256);
            s->Row(y)[static_cast<std::size_t>(x)] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    return std::move(*s);
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
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = static_cast<int>((got.At(x, y) >> shift) & 0xFF);
                const int b = static_cast<int>((want.At(x, y) >> shift) & 0xFF);
                if (std::abs(a - b) > tolerance) {
                    char text[128];
                    std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, expected %08X", x, y,
                                  got.At(x, y), want.At(x, y));
                    return ::testing::AssertionFailure() << text;
                }
            }
    return ::testing::AssertionSuccess();
}

// Mean absolute difference per channel (alpha left out), for lossy round trips.
inline double MeanError(const Surface& a, const Surface& b) {
    double total = 0;
    for (std::size_t i = 0; i < a.Pixels().size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            total += std::abs(static_cast<int>((a.Pixels()[i] >> shift) & 0xFF) -
                              static_cast<int>((b.Pixels()[i] >> shift) & 0xFF));
    return total / (3.0 * static_cast<double>(a.Pixels().size()));
}

// A minimal ICC profile for the given data colour space: the header and one
// 'desc' tag. Enough for JPEG and TIFF, which carry profiles unread; libpng
// checks them more closely and refuses it.
inline std::vector<std::uint8_t> FakeProfile(const char colorSpace[4]) {
    std::vector<std::uint8_t> p(156, 0);
    p[3] = 156; // size, big endian
    p[8] = 2;   // version 2.1
    p[9] = 0x10;
    std::copy_n("mntr", 4, p.begin() + 12);
    std::copy_n(colorSpace, 4, p.begin() + 16);
    std::copy_n("XYZ ", 4, p.begin() + 20);
    std::copy_n("acsp", 4, p.begin() + 36);
    // D50 illuminant at 68: 0.9642, 1.0, 0.8249 as s15Fixed16.
    const std::uint8_t d50[12] = {0, 0, 0xF6, 0xD6, 0, 1, 0, 0, 0, 0, 0xD3, 0x2D};
    std::copy_n(d50, 12, p.begin() + 68);
    p[131] = 1; // one tag: 'desc' at 144, 12 bytes
    std::copy_n("desc", 4, p.begin() + 132);
    p[139] = 144;
    p[143] = 12;
    std::copy_n("desc", 4, p.begin() + 144);
    return p;
}

// An installed RGB profile, for the formats that check profiles; empty when none.
inline std::vector<std::uint8_t> SystemRgbProfile() {
    for (const char* path :
         {"/usr/share/color/icc/ghostscript/srgb.icc", "/usr/share/color/icc/sRGB.icc"}) {
        if (std::FILE* f = std::fopen(path, "rb")) {
            std::vector<std::uint8_t> bytes(1 << 20);
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
            std::fclose(f);
            if (bytes.size() >= 132)
                return bytes;
        }
    }
    return {};
}

// [SECTION] PNG variants through libpng

struct PngLayout {
    int width = 3, height = 2;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlace = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool transparentColor = false;
    png_color_16 trns{};
    std::vector<std::uint8_t> icc;
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
    if (layout.transparentColor) {
        png_color_16 color = layout.trns;
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    if (!layout.icc.empty())
        png_set_iCCP(png, info, "test", 0, layout.icc.data(),
                     static_cast<png_uint_32>(layout.icc.size()));
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    const std::size_t rowBytes =
        (static_cast<std::size_t>(layout.width) * channels * layout.bitDepth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(static_cast<std::size_t>(layout.height),
                                            std::vector<png_byte>(rowBytes));
    std::size_t k = 0;
    for (auto& row : rows) {
        std::size_t bit = 0;
        for (int i = 0; i < layout.width * channels; ++i, ++k) {
            const unsigned v = samples[k];
            if (layout.bitDepth == 16) {
                row[bit / 8] = static_cast<png_byte>(v >> 8);
                row[bit / 8 + 1] = static_cast<png_byte>(v);
            } else {
                row[bit / 8] |= static_cast<png_byte>(v << (8 - layout.bitDepth - bit % 8));
            }
            bit += static_cast<std::size_t>(layout.bitDepth);
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// [SECTION] JPEG variants through libjpeg

struct JpegLayout {
    J_COLOR_SPACE input = JCS_RGB; // JCS_RGB (3 samples), JCS_GRAYSCALE (1) or JCS_CMYK (4)
    bool progressive = false;
    bool adobeMarker = true; // for CMYK: written by default; off gives plain CMYK
    int quality = 100;
    std::vector<std::uint8_t> icc;
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
    jpeg_set_quality(&c, layout.quality, TRUE);
    // 4:4:4, so flat test colours survive exactly enough to compare.
    for (int i = 0; i < c.num_components; ++i)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (layout.input == JCS_CMYK && !layout.adobeMarker)
        c.write_Adobe_marker = FALSE;
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
