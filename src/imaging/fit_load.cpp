// Reduced loading: JPEG, HEIF and WebP pictures are shrunk while they are
// decoded, other formats decoded whole.
#include "imaging/fit_load.h"

#include "imaging/codec.h"
#include "imaging/picture_file.h"
#include "platform/resample.h"

#include <algorithm>
#include <cmath>

namespace zembra {

namespace {

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
    // libjpeg and libwebp shrink by averaging areas, which lets fine detail fold
    // back, so they are left room for the filter's last halving; a stored
    // thumbnail was filtered when it was made.
    bool averagesAreas;
};

bool IsJpegData(ByteSpan bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

constexpr ShrinkingDecoder kShrinkingDecoders[] = {
    {IsJpegData, JpegPictureSize, DecodeJpegReduced, true},
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

FittedPicture LoadPictureToFit(const std::string& path, int boxWidth, int boxHeight,
                               const DecodeLimits& limits) {
    FittedPicture result;
    const PixelSize box{std::max(1, boxWidth), std::max(1, boxHeight)};
    auto bytes = ReadPictureFile(path);
    if (!bytes)
        return result;
    const ByteSpan data = *bytes.value();
    auto decoded = DecodeForBox(data, box, limits, result);
    if (!decoded)
        return FittedPicture{};
    PictureRef picture = MakePicture(std::move(decoded.value()));
    if (!picture)
        return FittedPicture{};
    result.picture = Fitted(std::move(picture), {result.naturalWidth, result.naturalHeight}, box);
    return result;
}

} // namespace zembra
