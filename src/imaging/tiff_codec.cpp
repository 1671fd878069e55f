// TIFF through libtiff: the first page (or a chosen one) of anything libtiff's
// RGBA interface reads, in; 8-bit RGB with LZW compression out. Colour profiles
// travel in the ICC profile tag. libtiff's messages go into the failure's text,
// never to stderr.

#include "imaging/codec.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <tiffio.h>

namespace zembra {

namespace {

// A file in memory: read from a span, or written into a growing buffer.
struct MemoryFile {
    ByteSpan input;
    Bytes* output = nullptr;
    std::uint64_t pos = 0;

    std::uint64_t Size() const { return output != nullptr ? output->size() : input.size(); }
    const std::uint8_t* Data() const { return output != nullptr ? output->data() : input.data(); }
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (size <= 0 || f->pos >= f->Size())
        return 0;
    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(size), f->Size() - f->pos);
    std::memcpy(buffer, f->Data() + f->pos, static_cast<std::size_t>(n));
    f->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(handle);
    if (f->output == nullptr || size < 0)
        return -1;
    const auto n = static_cast<std::uint64_t>(size);
    if (f->pos + n > f->output->size())
        f->output->resize(static_cast<std::size_t>(f->pos + n));
    std::memcpy(f->output->data() + f->pos, buffer, static_cast<std::size_t>(n));
    f->pos += n;
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->Size();
    const std::uint64_t target = base + offset;
    // Reading cannot go past the end; writing may (the gap is filled on write).
    if (target < base || (f->output == nullptr && target > f->Size()))
        return static_cast<toff_t>(-1);
    f->pos = target;
    return target;
}

int CloseProc(thandle_t) {
    return 0;
}
toff_t SizeProc(thandle_t handle) {
    return static_cast<MemoryFile*>(handle)->Size();
}
int MapProc(thandle_t, void**, toff_t*) {
    return 0;
} // no mapping: reads go through ReadProc
void UnmapProc(thandle_t, void*, toff_t) {}

struct Messages {
    std::string errors;
};

int OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* m = static_cast<Messages*>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (!m->errors.empty())
        m->errors += "; ";
    if (module != nullptr && *module != '\0')
        m->errors += std::string(module) + ": ";
    m->errors += text;
    return 1; // handled: nothing reaches the global handlers
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct CloseTiff {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, CloseTiff>;

TiffHandle Open(MemoryFile& file, const char* mode, Messages& messages, std::int64_t maxAlloc) {
    // Some messages come before any handle exists; silence the global handlers too.
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &messages);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(maxAlloc));
    return TiffHandle(TIFFClientOpenExt("memory", mode, &file, ReadProc, WriteProc, SeekProc,
                                        CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
}

Failure TiffFailure(const Messages& messages, const char* fallback) {
    return Failure{GpStatus::GenericError,
                   std::string("TIFF: ") + (messages.errors.empty() ? fallback : messages.errors)};
}

int PixelFormatOf(TIFF* tif, bool hasAlpha) {
    std::uint16_t bits = 8, samples = 1, photometric = PHOTOMETRIC_RGB;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (hasAlpha)
        return bits == 16 ? PixelFormat64bppARGB : PixelFormat32bppARGB;
    if (photometric == PHOTOMETRIC_SEPARATED)
        return PixelFormat32bppCMYK;
    if (photometric == PHOTOMETRIC_PALETTE || samples == 1)
        return bits == 1   ? PixelFormat1bppIndexed
               : bits <= 4 ? PixelFormat4bppIndexed
                           : PixelFormat8bppIndexed;
    return bits == 16 ? PixelFormat48bppRGB : PixelFormat24bppRGB;
}

} // namespace

Result<GpBitmap> DecodeTiff(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    MemoryFile file{bytes};
    Messages messages;
    // libtiff's own buffers (strips, tiles) stay within what the picture may take.
    const std::int64_t maxAlloc =
        std::min<std::int64_t>(limits.maxPixels * 8, std::int64_t{1} << 31);
    TiffHandle tif = Open(file, "rm", messages, maxAlloc);
    if (!tif)
        return TiffFailure(messages, "not a readable TIFF file");
    if (frame != 0 && !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(frame)))
        return Failure{GpStatus::InvalidParameter, "TIFF: no such page"};
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    char why[1024] = "";
    if (!TIFFRGBAImageOK(tif.get(), why))
        return Failure{GpStatus::GenericError, std::string("TIFF: ") + why};
    auto pixels = AllocatePixels(width, height, limits);
    if (!pixels)
        return pixels.failure();
    GpBitmap bitmap(std::move(pixels.value()));
    // The RGBA raster has the layout of our pixels, with red and blue swapped.
    auto* raster = reinterpret_cast<std::uint32_t*>(bitmap.pixels.Pixels().data());
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster, ORIENTATION_TOPLEFT, 1))
        return TiffFailure(messages, "the picture data cannot be read");
    bool hasAlpha = false;
    for (auto& p : bitmap.pixels.Pixels()) {
        const std::uint32_t a = p >> 24;
        std::uint32_t r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
        if (a != 255) {
            hasAlpha = true;
            // libtiff premultiplies; our pixels carry straight alpha.
            if (a != 0) {
                r = std::min<std::uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<std::uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<std::uint32_t>(255, (b * 255 + a / 2) / a);
            }
        }
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    bitmap.hasAlpha = hasAlpha;
    bitmap.pixelFormat = PixelFormatOf(tif.get(), hasAlpha);
    std::uint32_t iccSize = 0;
    void* icc = nullptr;
    if (TIFFGetField(tif.get(), TIFFTAG_ICCPROFILE, &iccSize, &icc) && icc != nullptr)
        bitmap.pixels.SetProfile(RgbProfile(static_cast<const std::uint8_t*>(icc), iccSize));
    return bitmap;
}

int TiffPageCount(ByteSpan bytes) {
    MemoryFile file{bytes};
    Messages messages;
    TiffHandle tif = Open(file, "rm", messages, std::int64_t{1} << 28);
    return tif ? static_cast<int>(TIFFNumberOfDirectories(tif.get())) : 0;
}

Result<Bytes> EncodeTiff(const Surface& picture, const EncodeOptions&) {
    Bytes out;
    MemoryFile file;
    file.output = &out;
    Messages messages;
    TiffHandle tif = Open(file, "w", messages, std::int64_t{1} << 31);
    if (!tif)
        return TiffFailure(messages, "cannot start the file");
    TIFF* t = tif.get();
    const auto width = static_cast<std::uint32_t>(picture.Width());
    const auto height = static_cast<std::uint32_t>(picture.Height());
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL); // differences compress better
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 96.0);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 96.0);
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (const auto& icc = picture.Profile(); icc && !icc->empty())
        TIFFSetField(t, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(icc->size()), icc->data());
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        auto in = picture.Row(static_cast<int>(y));
        for (std::size_t x = 0; x < in.size(); ++x) {
            row[3 * x] = static_cast<std::uint8_t>(in[x] >> 16);
            row[3 * x + 1] = static_cast<std::uint8_t>(in[x] >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(in[x]);
        }
        if (TIFFWriteScanline(t, row.data(), y, 0) < 0)
            return TiffFailure(messages, "cannot write the picture data");
    }
    if (!TIFFFlush(t))
        return TiffFailure(messages, "cannot finish the file");
    tif.reset();
    if (!messages.errors.empty())
        return TiffFailure(messages, "");
    return out;
}

} // namespace zembra
