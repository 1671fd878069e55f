#include "imaging/preview_picture.h"

#include "imaging/codec.h"
#include "imaging/picture_file.h"
#include "platform/resample.h"

#include <algorithm>
#include <cmath>

namespace zembra {

namespace {

// The largest size of the picture's shape that fits the box.
std::pair<int, int> FittedSize(int width, int height, int boxWidth, int boxHeight) {
    const double scale =
        std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
    if (scale >= 1)
        return {width, height};
    return {std::max(1, static_cast<int>(std::lround(width * scale))),
            std::max(1, static_cast<int>(std::lround(height * scale)))};
}

} // namespace

PreviewPicture LoadPreviewPicture(const std::string& path, int boxWidth, int boxHeight) {
    PreviewPicture preview;
    auto bytes = ReadPictureFile(path);
    if (!bytes || boxWidth < 1 || boxHeight < 1)
        return preview;
    const Bytes& data = *bytes.value();
    const Codec* codec = DecoderFor(data);
    if (!codec)
        return preview;
    std::optional<Result<GpBitmap>> decoded;
    if (codec->decode == DecodeJpeg) {
        const auto natural = JpegPictureSize(data);
        if (!natural || natural->width < 1 || natural->height < 1)
            return preview;
        const auto [w, h] = FittedSize(natural->width, natural->height, boxWidth, boxHeight);
        decoded.emplace(DecodeJpegReduced(data, {}, ShrinkOnLoadSide(w), ShrinkOnLoadSide(h)));
        preview.width = natural->width;
        preview.height = natural->height;
    } else {
        decoded.emplace(DecodePicture(data));
        if (*decoded) {
            preview.width = decoded->value().pixels.Width();
            preview.height = decoded->value().pixels.Height();
        }
    }
    if (!*decoded)
        return {};
    PictureRef picture = MakePicture(std::move(decoded->value()), 0);
    const auto [w, h] = FittedSize(picture->Width(), picture->Height(), boxWidth, boxHeight);
    if (w != picture->Width() || h != picture->Height())
        picture = std::make_shared<const Surface>(Resample(*picture, w, h));
    preview.picture = std::move(picture);
    return preview;
}

} // namespace zembra
