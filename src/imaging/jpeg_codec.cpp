// JPEG through libjpeg-turbo: baseline, progressive, greyscale, RGB, CMYK and YCCK
// in; YCbCr 4:2:0 at a given quality out. Colour profiles travel in APP2.
//
// libjpeg reports fatal errors through error_exit, which must not return. Ours
// longjmps back to the function that called setjmp. Those functions hold nothing
// with a destructor: every C++ object lives in their callers, so the jump skips
// no destructor.

#include "imaging/codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

namespace zembra {

namespace {

struct JpegError {
    jpeg_error_mgr mgr; // first, so libjpeg's err pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

void OnEmitMessage(j_common_ptr cinfo, int level) {
    if (level != -1)
        return; // trace messages
    // A file that ends early would be padded with grey; a picture with a grey band
    // must not replace the original, so an early end is a failure.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        OnErrorExit(cinfo);
    cinfo->err->num_warnings++;
}

void OnOutputMessage(j_common_ptr) {} // never print on stderr

void InitError(JpegError& e) {
    jpeg_std_error(&e.mgr);
    e.mgr.error_exit = OnErrorExit;
    e.mgr.emit_message = OnEmitMessage;
    e.mgr.output_message = OnOutputMessage;
    e.message[0] = '\0';
}

// Stops progressive files whose scan count would make decoding crawl.
struct ScanLimit {
    jpeg_progress_mgr mgr; // first, so libjpeg's progress pointer is ours
    int maxScans;
    JpegError* error;
};

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    auto* limit = reinterpret_cast<ScanLimit*>(cinfo->progress);
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > limit->maxScans) {
        std::snprintf(limit->error->message, sizeof limit->error->message,
                      "more than %d progressive scans", limit->maxScans);
        std::longjmp(limit->error->jump, 1);
    }
}

constexpr int kRowBatch = 16;

// [SECTION] Decoding

struct DecodeState {
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    ScanLimit scanLimit{};
    bool created = false;
    // Set by the helpers that run between libjpeg calls.
    std::optional<GpBitmap>* out = nullptr;
    std::vector<std::uint8_t>* cmykRow = nullptr;
    const DecodeLimits* limits = nullptr;
    int scaleDenom = 1; // 1, 2, 4 or 8: libjpeg shrinks while it decodes
    Failure failure;
    bool failedOutsideLibjpeg = false;
};

// Runs between libjpeg calls; may allocate freely.
bool PrepareOutput(DecodeState& s) {
    auto& c = s.cinfo;
    auto pixels = AllocatePixels(c.output_width, c.output_height, *s.limits);
    if (!pixels) {
        s.failure = pixels.failure();
        s.failedOutsideLibjpeg = true;
        return false;
    }
    s.out->emplace(std::move(pixels.value()));
    auto& bitmap = **s.out;
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
    if (jpeg_read_icc_profile(&c, &icc, &iccLength))
        bitmap.pixels.SetProfile(RgbProfile(icc, iccLength));
    std::free(icc);
    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    bitmap.pixelFormat = cmyk ? PixelFormat32bppCMYK : PixelFormat24bppRGB;
    if (cmyk)
        s.cmykRow->resize(static_cast<std::size_t>(c.output_width) * 4);
    return true;
}

// Adobe's applications write CMYK inverted (0 = full ink); others write it plain.
void CmykToPixels(const std::uint8_t* in, std::span<std::uint32_t> out, bool inverted) {
    for (std::size_t x = 0; x < out.size(); ++x, in += 4) {
        std::uint32_t c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now each value is the share of light left: 255 = no ink.
        const std::uint32_t r = (c * k + 127) / 255;
        const std::uint32_t g = (m * k + 127) / 255;
        const std::uint32_t b = (y * k + 127) / 255;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

// Reads the header only. The caller destroys cinfo, created or not.
bool ReadJpegSize(jpeg_decompress_struct& cinfo, JpegError& error, ByteSpan bytes, JpegSize& size) {
    if (setjmp(error.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    size = {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
    return true;
}

// Returns false on failure; s.error.message or s.failure says why.
bool RunDecode(DecodeState& s, ByteSpan bytes) {
    if (setjmp(s.error.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.cinfo.progress = &s.scanLimit.mgr;
    jpeg_mem_src(&s.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&s.cinfo, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&s.cinfo, TRUE) != JPEG_HEADER_OK) {
        s.failure = {GpStatus::GenericError, "JPEG: no picture in the file"};
        s.failedOutsideLibjpeg = true;
        return false;
    }
    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    s.cinfo.dct_method = JDCT_ISLOW;
    s.cinfo.scale_num = 1;
    s.cinfo.scale_denom = static_cast<unsigned int>(s.scaleDenom);
    jpeg_calc_output_dimensions(&s.cinfo);
    if (!PrepareOutput(s))
        return false;
    jpeg_start_decompress(&s.cinfo);
    auto& pixels = (**s.out).pixels;
    JSAMPROW rows[kRowBatch];
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const auto first = static_cast<int>(s.cinfo.output_scanline);
        if (cmyk) {
            rows[0] = s.cmykRow->data();
            jpeg_read_scanlines(&s.cinfo, rows, 1);
            CmykToPixels(s.cmykRow->data(), pixels.Row(first), s.cinfo.saw_Adobe_marker);
            continue;
        }
        const int count = std::min<int>(kRowBatch, static_cast<int>(s.cinfo.output_height) - first);
        for (int i = 0; i < count; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(pixels.Row(first + i).data());
        jpeg_read_scanlines(&s.cinfo, rows, static_cast<JDIMENSION>(count));
    }
    // The rest of the file (trailing markers) is of no interest: no finish call.
    return true;
}

// [SECTION] Encoding

struct EncodeState {
    jpeg_compress_struct cinfo{};
    JpegError error{};
    bool created = false;
    unsigned char* buffer = nullptr; // malloc'ed by libjpeg
    unsigned long size = 0;
};

bool RunEncode(EncodeState& s, const Surface& picture, int quality) {
    if (setjmp(s.error.jump))
        return false;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = static_cast<JDIMENSION>(picture.Width());
    s.cinfo.image_height = static_cast<JDIMENSION>(picture.Height());
    s.cinfo.input_components = 4;
    s.cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    s.cinfo.dct_method = JDCT_ISLOW;
    s.cinfo.optimize_coding = TRUE;
    s.cinfo.density_unit = 1; // dots per inch
    s.cinfo.X_density = 96;
    s.cinfo.Y_density = 96;
    jpeg_start_compress(&s.cinfo, TRUE);
    if (const auto& icc = picture.Profile(); icc && !icc->empty())
        jpeg_write_icc_profile(&s.cinfo, icc->data(), static_cast<unsigned int>(icc->size()));
    JSAMPROW rows[kRowBatch];
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const auto first = static_cast<int>(s.cinfo.next_scanline);
        const int count = std::min<int>(kRowBatch, picture.Height() - first);
        for (int i = 0; i < count; ++i) {
            // libjpeg's row type is not const, but compression only reads it.
            rows[i] = const_cast<JSAMPROW>(
                reinterpret_cast<const JSAMPLE*>(picture.Row(first + i).data()));
        }
        jpeg_write_scanlines(&s.cinfo, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

} // namespace

namespace {

Result<GpBitmap> DecodeJpegScaled(ByteSpan bytes, const DecodeLimits& limits, int scaleDenom) {
    std::optional<GpBitmap> out;
    std::vector<std::uint8_t> cmykRow;
    DecodeState s;
    s.cinfo.err = &s.error.mgr;
    InitError(s.error);
    s.scanLimit.mgr.progress_monitor = OnProgress;
    s.scanLimit.maxScans = limits.maxJpegScans;
    s.scanLimit.error = &s.error;
    s.out = &out;
    s.cmykRow = &cmykRow;
    s.limits = &limits;
    s.scaleDenom = scaleDenom;
    const bool ok = RunDecode(s, bytes);
    if (s.created)
        jpeg_destroy_decompress(&s.cinfo);
    if (!ok) {
        if (s.failedOutsideLibjpeg)
            return s.failure;
        return Failure{GpStatus::GenericError, std::string("JPEG: ") + s.error.message};
    }
    return std::move(*out);
}

// The size of a side once libjpeg has scaled it by 1/denom: rounded up.
std::int64_t ScaledSide(std::int64_t side, int denom) {
    return (side + denom - 1) / denom;
}

} // namespace

Result<GpBitmap> DecodeJpeg(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter, "JPEG files hold one picture"};
    return DecodeJpegScaled(bytes, limits, 1);
}

std::optional<JpegSize> JpegPictureSize(ByteSpan bytes) {
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    cinfo.err = &error.mgr;
    InitError(error);
    JpegSize size{};
    const bool read = ReadJpegSize(cinfo, error, bytes, size);
    jpeg_destroy_decompress(&cinfo);
    if (!read)
        return std::nullopt;
    return size;
}

Result<GpBitmap> DecodeJpegReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight) {
    const auto size = JpegPictureSize(bytes);
    if (!size)
        return Failure{GpStatus::GenericError, "JPEG: no picture in the file"};
    // The smallest scale that still covers the wanted size.
    int denom = 1;
    for (int d : {8, 4, 2}) {
        if (ScaledSide(size->width, d) >= minWidth && ScaledSide(size->height, d) >= minHeight) {
            denom = d;
            break;
        }
    }
    return DecodeJpegScaled(bytes, limits, denom);
}

Result<Bytes> EncodeJpeg(const Surface& picture, const EncodeOptions& options) {
    // The quality reaches us unchecked; libjpeg's own range is 0..100.
    const int quality = std::clamp(options.quality.value_or(75), 0, 100);
    EncodeState s;
    s.cinfo.err = &s.error.mgr;
    InitError(s.error);
    const bool ok = RunEncode(s, picture, quality);
    if (s.created)
        jpeg_destroy_compress(&s.cinfo);
    Result<Bytes> result = ok ? Result<Bytes>(Bytes(s.buffer, s.buffer + s.size))
                              : Result<Bytes>(Failure{GpStatus::GenericError,
                                                      std::string("JPEG: ") + s.error.message});
    std::free(s.buffer);
    return result;
}

} // namespace zembra
