#include "imaging/preview_picture.h"

#include "imaging/codec.h"
#include "imaging/fit_load.h"
#include "imaging/picture_file.h"
#include "platform/resample.h"

namespace zembra {

PreviewPicture LoadPreviewPicture(const std::string& path, int boxWidth, int boxHeight) {
    auto bytes = ReadPictureFile(path);
    if (!bytes || boxWidth < 1 || boxHeight < 1)
        return {};
    const Bytes& data = *bytes.value();
    const Codec* codec = DecoderFor(data);
    if (!codec)
        return {};
    // HEIF and WebP pictures shrink through their libraries, others decode whole.
    if (codec->decode != DecodeJpeg) {
        FittedPicture fitted = FitPictureBytes(data, boxWidth, boxHeight);
        if (!fitted.picture)
            return {};
        return {std::move(fitted.picture), fitted.naturalWidth, fitted.naturalHeight};
    }
    const auto natural = JpegPictureSize(data);
    if (!natural || natural->width < 1 || natural->height < 1)
        return {};
    const PixelSize fitted = FitInBox(natural->width, natural->height, boxWidth, boxHeight);
    auto decoded = DecodeJpegReduced(data, {}, ShrinkOnLoadSide(fitted.width),
                                     ShrinkOnLoadSide(fitted.height));
    if (!decoded)
        return {};
    PictureRef picture = MakePicture(std::move(decoded.value()), 0);
    if (!picture)
        return {};
    if (picture->Width() != fitted.width || picture->Height() != fitted.height)
        picture = std::make_shared<const Surface>(Resample(*picture, fitted.width, fitted.height));
    return {std::move(picture), natural->width, natural->height};
}

} // namespace zembra
