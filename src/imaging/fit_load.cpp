// Reduced loading. The JPEG path runs its own short libjpeg session because it
// asks for a scaled output; fatal libjpeg errors longjmp back to RunScaledDecode,
// which holds nothing with a destructor. HEIF and WebP pictures come through their
// libraries' own thumbnails and scaled decoding; other formats are decoded whole.
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

bool IsHeifFile(ByteSpan bytes) {
    return IsHeif(bytes) || IsAvif(bytes);
}

// Formats whose libraries give a smaller picture cheaply, asked for at least the
// least size given.
struct ShrinkingDecoder {
    bool (*matches)(ByteSpan bytes);
    std::optional<StoredSize> (*size)(ByteSpan bytes);
    Result<GpBitmap> (*decode)(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                               int minHeight);
    // libwebp shrinks by averaging areas, as libjpeg does, which lets fine detail
    // fold back, so it is left room for the filter's last halving; a stored
    // thumbnail was filtered when it was made.
    bool averagesAreas;
};

constexpr ShrinkingDecoder kShrinkingDecoders[] = {
    {IsHeifFile, HeifPictureSize, DecodeHeifReduced, false},
    {IsWebp, WebpPictureSize, DecodeWebpReduced, true},
};

const ShrinkingDecoder* ShrinkingDecoderFor(ByteSpan bytes) {
    for (const ShrinkingDecoder& d : kShrinkingDecoders)
        if (d.matches(bytes))
            return &d;
    return nullptr;
}

// The first frame, shrunk while decoding where the format allows; the natural
// size is set when it succeeds.
Result<GpBitmap> DecodeForBox(ByteSpan data, PixelSize box, const DecodeLimits& limits,
                              FittedPicture& result) {
    const ShrinkingDecoder* shrinking = ShrinkingDecoderFor(data);
    if (!shrinking) {
        auto decoded = DecodePicture(data, limits);
        if (decoded) {
            result.naturalWidth = decoded.value().pixels.Width();
            result.naturalHeight = decoded.value().pixels.Height();
        }
        return decoded;
    }
    const auto natural = shrinking->size(data);
    if (!natural || natural->width < 1 || natural->height < 1)
        return Failure{GpStatus::GenericError, "the picture's size cannot be read"};
    const PixelSize fitted = FitInBox(natural->width, natural->height, box.width, box.height);
    const auto least = [&](int side) {
        return shrinking->averagesAreas ? ShrinkOnLoadSide(side) : side;
    };
    auto decoded = shrinking->decode(data, limits, least(fitted.width), least(fitted.height));
    if (decoded) {
        result.naturalWidth = natural->width;
        result.naturalHeight = natural->height;
    }
    return decoded;
}

// The picture resampled to the size the box gives its natural size: a decoder's
// reduced size, rounded up on each side, may not have quite the same shape.
PictureRef Fitted(PictureRef picture, PixelSize natural, PixelSize box) {
    const PixelSize size = FitInBox(natural.width, natural.height, box.width, box.height);
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

FittedPicture FitPictureBytes(ByteSpan data, int boxWidth, int boxHeight,
                              const DecodeLimits& limits) {
    FittedPicture result;
    const PixelSize box{std::max(1, boxWidth), std::max(1, boxHeight)};
    if (IsJpegData(data)) {
        if (auto reduced =
                DecodeJpegReduced(data, box, limits, result.naturalWidth, result.naturalHeight)) {
            result.picture = Fitted(std::make_shared<const Surface>(std::move(*reduced)),
                                    {result.naturalWidth, result.naturalHeight}, box);
            return result;
        }
    }
    auto decoded = DecodeForBox(data, box, limits, result);
    if (!decoded)
        return FittedPicture{};
    PictureRef picture = MakePicture(std::move(decoded.value()));
    if (!picture)
        return FittedPicture{};
    result.picture = Fitted(std::move(picture), {result.naturalWidth, result.naturalHeight}, box);
    return result;
}

FittedPicture LoadPictureToFit(const std::string& path, int boxWidth, int boxHeight,
                               const DecodeLimits& limits) {
    auto bytes = ReadPictureFile(path);
    if (!bytes)
        return {};
    return FitPictureBytes(*bytes.value(), boxWidth, boxHeight, limits);
}

} // namespace zembra
