#include "imaging/preview_picture.h"

#include "imaging/codec.h"
#include "imaging/picture_file.h"

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

Surface ShrinkByAveraging(const Surface& source, int width, int height) {
    Surface out = *Surface::Create(width, height);
    const std::int64_t sw = source.Width();
    const std::int64_t sh = source.Height();
    for (int y = 0; y < height; ++y) {
        const std::int64_t y0 = y * sh / height;
        const std::int64_t y1 = std::max(y0 + 1, (y + 1) * sh / height);
        auto row = out.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::int64_t x0 = x * sw / width;
            const std::int64_t x1 = std::max(x0 + 1, (x + 1) * sw / width);
            std::uint64_t r = 0, g = 0, b = 0;
            for (std::int64_t sy = y0; sy < y1; ++sy) {
                const auto in = source.Row(static_cast<int>(sy));
                for (std::int64_t sx = x0; sx < x1; ++sx) {
                    const std::uint32_t p = in[static_cast<std::size_t>(sx)];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
            }
            const std::uint64_t n = static_cast<std::uint64_t>((y1 - y0) * (x1 - x0));
            // Rounded to nearest.
            row[static_cast<std::size_t>(x)] = 0xFF000000u |
                                               static_cast<std::uint32_t>((r + n / 2) / n) << 16 |
                                               static_cast<std::uint32_t>((g + n / 2) / n) << 8 |
                                               static_cast<std::uint32_t>((b + n / 2) / n);
        }
    }
    out.SetProfile(source.Profile());
    return out;
}

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
        decoded.emplace(DecodeJpegReduced(data, {}, w, h));
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
        picture = std::make_shared<const Surface>(ShrinkByAveraging(*picture, w, h));
    preview.picture = std::move(picture);
    return preview;
}

} // namespace zembra
