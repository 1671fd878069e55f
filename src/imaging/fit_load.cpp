// Reduced loading. The JPEG path runs its own short libjpeg session because it
// asks for a scaled output; fatal libjpeg errors longjmp back to RunScaledDecode,
// which holds nothing with a destructor.
#include "imaging/fit_load.h"

#include "imaging/codec.h"
#include "imaging/picture_file.h"
#include "platform/resample.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zembra {

namespace {

struct ScaledJpegError {
    jpeg_error_mgr mgr; // first, so libjpeg's err pointer is ours
    std::jmp_buf jump;
};

[[noreturn]] void OnScaledError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ScaledJpegError*>(cinfo->err)->jump, 1);
}

void OnScaledMessage(j_common_ptr cinfo, int level) {
    // A file that ends early is shown as far as it goes: a thumbnail replaces nothing.
    if (level == -1)
        cinfo->err->num_warnings++;
}

struct ScanCap {
    jpeg_progress_mgr mgr; // first, so libjpeg's progress pointer is ours
    int maxScans;
    ScaledJpegError* error;
};

void OnScaledProgress(j_common_ptr cinfo) {
    auto* cap = reinterpret_cast<ScanCap*>(cinfo->progress);
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > cap->maxScans)
        std::longjmp(cap->error->jump, 1);
}

struct ScaledDecode {
    jpeg_decompress_struct cinfo{};
    ScaledJpegError error{};
    ScanCap cap{};
    bool created = false;
    PixelSize box;
    const DecodeLimits* limits = nullptr;
    // Filled between libjpeg calls.
    std::optional<Surface>* out = nullptr;
    int naturalWidth = 0, naturalHeight = 0;
};

bool AllocateScaled(ScaledDecode& s) {
    const auto& c = s.cinfo;
    if (static_cast<std::int64_t>(c.image_width) * c.image_height > s.limits->maxPixels)
        return false;
    s.out->emplace(
        *Surface::Create(static_cast<int>(c.output_width), static_cast<int>(c.output_height)));
    return true;
}

bool RunScaledDecode(ScaledDecode& s, ByteSpan bytes) {
    if (setjmp(s.error.jump))
        return false;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.cinfo.progress = &s.cap.mgr;
    jpeg_mem_src(&s.cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&s.cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    // CMYK pictures need the ink conversion of the full decoder.
    if (s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK)
        return false;
    s.naturalWidth = static_cast<int>(s.cinfo.image_width);
    s.naturalHeight = static_cast<int>(s.cinfo.image_height);
    const PixelSize fitted = FitInBox(s.naturalWidth, s.naturalHeight, s.box.width, s.box.height);
    s.cinfo.scale_num = static_cast<unsigned int>(
        JpegScaleEighths(s.naturalWidth, s.naturalHeight, ShrinkOnLoadSide(fitted.width),
                         ShrinkOnLoadSide(fitted.height)));
    s.cinfo.scale_denom = 8;
    s.cinfo.out_color_space = JCS_EXT_BGRA;
    s.cinfo.dct_method = JDCT_ISLOW;
    jpeg_calc_output_dimensions(&s.cinfo);
    if (!AllocateScaled(s))
        return false;
    jpeg_start_decompress(&s.cinfo);
    Surface& pixels = **s.out;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            pixels.Row(static_cast<int>(s.cinfo.output_scanline)).data());
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1)
            return false;
    }
    return true;
}

// A JPEG decoded at a reduced scale; nullopt when the quick path does not apply.
std::optional<Surface> DecodeJpegReduced(ByteSpan bytes, PixelSize box, const DecodeLimits& limits,
                                         int& naturalWidth, int& naturalHeight) {
    std::optional<Surface> out;
    ScaledDecode s;
    s.cinfo.err = jpeg_std_error(&s.error.mgr);
    s.error.mgr.error_exit = OnScaledError;
    s.error.mgr.emit_message = OnScaledMessage;
    s.cap.mgr.progress_monitor = OnScaledProgress;
    s.cap.maxScans = limits.maxJpegScans;
    s.cap.error = &s.error;
    s.box = box;
    s.limits = &limits;
    s.out = &out;
    const bool ok = RunScaledDecode(s, bytes);
    if (s.created)
        jpeg_destroy_decompress(&s.cinfo);
    if (!ok)
        return std::nullopt;
    naturalWidth = s.naturalWidth;
    naturalHeight = s.naturalHeight;
    return out;
}

bool IsJpegData(ByteSpan bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

PictureRef Fitted(PictureRef picture, PixelSize box) {
    const PixelSize size = FitInBox(picture->Width(), picture->Height(), box.width, box.height);
    if (size.width == picture->Width() && size.height == picture->Height())
        return picture;
    return std::make_shared<const Surface>(Resample(*picture, size.width, size.height));
}

} // namespace

PixelSize FitInBox(int width, int height, int boxWidth, int boxHeight) {
    if (width <= boxWidth && height <= boxHeight)
        return {width, height};
    const double scale =
        std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
    return {std::max(1, static_cast<int>(std::lround(width * scale))),
            std::max(1, static_cast<int>(std::lround(height * scale)))};
}

FittedPicture LoadPictureToFit(const std::string& path, int boxWidth, int boxHeight,
                               const DecodeLimits& limits) {
    FittedPicture result;
    const PixelSize box{std::max(1, boxWidth), std::max(1, boxHeight)};
    auto bytes = ReadPictureFile(path);
    if (!bytes)
        return result;
    const ByteSpan data = *bytes.value();
    if (IsJpegData(data)) {
        if (auto reduced =
                DecodeJpegReduced(data, box, limits, result.naturalWidth, result.naturalHeight)) {
            result.picture = Fitted(std::make_shared<const Surface>(std::move(*reduced)), box);
            return result;
        }
    }
    auto decoded = DecodePicture(data, limits);
    if (!decoded)
        return result;
    result.naturalWidth = decoded.value().pixels.Width();
    result.naturalHeight = decoded.value().pixels.Height();
    PictureRef full = MakePicture(std::move(decoded.value()));
    if (!full)
        return FittedPicture{};
    result.picture = Fitted(std::move(full), box);
    return result;
}

} // namespace zembra
