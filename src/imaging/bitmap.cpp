#include "imaging/bitmap.h"

#include "imaging/draw_image.h"
#include "imaging/graphics.h"
#include "imaging/picture_file.h"
#include "imaging/session.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace zembra {

namespace {

struct Resources {
    std::mutex mutex;
    std::map<int, std::shared_ptr<const Bytes>> byId;
};

Resources& resources() {
    static Resources instance;
    return instance;
}

std::shared_ptr<const Bytes> FindResource(int id) {
    auto& r = resources();
    std::lock_guard lock(r.mutex);
    auto it = r.byId.find(id);
    return it == r.byId.end() ? nullptr : it->second;
}

} // namespace

void RegisterResource(int id, std::span<const std::uint8_t> bytes) {
    auto& r = resources();
    std::lock_guard lock(r.mutex);
    r.byId[id] = std::make_shared<const Bytes>(bytes.begin(), bytes.end());
}

cBitmap::cBitmap(ErrorEvent::Listener onError) {
    if (onError)
        Error.subscribe(std::move(onError));
    SetError(GdiplusStartup(sessionToken_, GdiplusStartupInput{}));
    // The table is built whatever the start-up said.
    BuildEncoderTable();
}

cBitmap::~cBitmap() {
    Dispose();
    if (sessionToken_ != 0)
        GdiplusShutdown(sessionToken_);
}

void cBitmap::BuildEncoderTable() {
    const auto codecs = Codecs();
    encoders_.assign(codecs.size(), nullptr);
    for (int i = static_cast<int>(codecs.size()) - 1; i >= 0; --i) {
        encoders_[static_cast<std::size_t>(i)] = &codecs[static_cast<std::size_t>(i)];
        if (codecs[static_cast<std::size_t>(i)].encode != nullptr) // HEIF is only read
            patterns_.AddEncoderPatterns(codecs[static_cast<std::size_t>(i)].patterns, ";", i);
    }
}

GpStatus cBitmap::SetError(GpStatus status, std::string detail) {
    return PassStatus(status, std::move(detail), curErr_, Error);
}

void cBitmap::RefreshDimensions() {
    width_ = image_ ? image_->pixels.Width() : 0;
    height_ = image_ ? image_->pixels.Height() : 0;
    pixelFormat_ = image_ ? image_->pixelFormat : 0;
}

GpStatus cBitmap::Adopt(std::unique_ptr<GpBitmap> image) {
    image_ = std::move(image);
    RefreshDimensions();
    return SetError(GpStatus::Ok);
}

void cBitmap::Dispose() {
    image_.reset();
    // The bytes behind a resource image go with it.
}

// [SECTION] Making the image

GpStatus cBitmap::LoadFromFile(const std::string& sFileName) {
    auto loaded = LoadPictureFile(sFileName);
    if (!loaded) {
        image_.reset();
        RefreshDimensions();
        return SetError(loaded.failure().status, loaded.failure().detail);
    }
    return Adopt(std::make_unique<GpBitmap>(std::move(loaded.value())));
}

GpStatus cBitmap::CreateFromScan0(int lWidth, int lHeight, int lStride, int ePixelFormats,
                                  const void* lDataPtr) {
    int bytesPerPixel = 0;
    switch (ePixelFormats) {
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
    case PixelFormat32bppRGB:
        bytesPerPixel = 4;
        break;
    case PixelFormat24bppRGB:
        bytesPerPixel = 3;
        break;
    default:
        return SetError(GpStatus::InvalidParameter, "unsupported pixel format");
    }
    auto surface = Surface::Create(lWidth, lHeight, 0);
    if (!surface)
        return SetError(GpStatus::InvalidParameter, "bad size");
    const std::int64_t rowBytes = std::int64_t{lWidth} * bytesPerPixel;
    if (lDataPtr != nullptr && std::abs(std::int64_t{lStride}) < rowBytes)
        return SetError(GpStatus::InvalidParameter, "the stride is shorter than a row");
    auto image = std::make_unique<GpBitmap>(std::move(*surface));
    image->pixelFormat = ePixelFormats;
    image->hasAlpha = lDataPtr == nullptr || ePixelFormats == PixelFormat32bppARGB ||
                      ePixelFormats == PixelFormat32bppPARGB;
    if (lDataPtr != nullptr) {
        const auto* base = static_cast<const std::uint8_t*>(lDataPtr);
        for (int y = 0; y < lHeight; ++y) {
            const std::uint8_t* in = base + std::int64_t{y} * lStride;
            auto out = image->pixels.Row(y);
            for (int x = 0; x < lWidth; ++x, in += bytesPerPixel) {
                const std::uint32_t b = in[0], g = in[1], r = in[2];
                std::uint32_t a =
                    bytesPerPixel == 4 && ePixelFormats != PixelFormat32bppRGB ? in[3] : 255;
                std::uint32_t rr = r, gg = g, bb = b;
                if (ePixelFormats == PixelFormat32bppPARGB && a != 0 && a != 255) {
                    rr = std::min<std::uint32_t>(255, (r * 255 + a / 2) / a);
                    gg = std::min<std::uint32_t>(255, (g * 255 + a / 2) / a);
                    bb = std::min<std::uint32_t>(255, (b * 255 + a / 2) / a);
                }
                out[static_cast<std::size_t>(x)] = (a << 24) | (rr << 16) | (gg << 8) | bb;
            }
        }
    }
    return Adopt(std::move(image));
}

GpStatus cBitmap::CreateFromHBitmap(const PictureRef& hBitmap) {
    if (!hBitmap)
        return SetError(GpStatus::InvalidParameter, "no picture");
    auto image = std::make_unique<GpBitmap>(*hBitmap);
    image->pixelFormat = PixelFormat32bppRGB;
    for (auto& p : image->pixels.Pixels())
        p |= 0xFF000000u;
    return Adopt(std::move(image));
}

GpStatus cBitmap::CreateFromGraphics(int lWidth, int lHeight, GpGraphics* lGraphicHandle) {
    if (lGraphicHandle == nullptr)
        return SetError(GpStatus::InvalidParameter, "no graphics");
    auto surface = Surface::Create(lWidth, lHeight, 0);
    if (!surface)
        return SetError(GpStatus::InvalidParameter, "bad size");
    auto image = std::make_unique<GpBitmap>(std::move(*surface));
    image->hasAlpha = true;
    image->pixelFormat = PixelFormat32bppPARGB;
    return Adopt(std::move(image));
}

GpStatus cBitmap::CreateFromResource(int lResID) {
    auto bytes = FindResource(lResID);
    if (!bytes)
        return SetError(GpStatus::InvalidParameter, "no resource " + std::to_string(lResID));
    auto decoded = DecodePicture(*bytes);
    if (!decoded)
        return SetError(decoded.failure().status, decoded.failure().detail);
    auto image = std::make_unique<GpBitmap>(std::move(decoded.value()));
    image->source = bytes; // kept while the image lives, as the stream was
    return Adopt(std::move(image));
}

GpStatus cBitmap::CreateThumbFromImage(int lWidth, int lHeight, const GpBitmap* lBitmapHandle) {
    if (lBitmapHandle == nullptr)
        return SetError(GpStatus::InvalidParameter, "no image");
    auto surface = Surface::Create(lWidth, lHeight, 0);
    if (!surface)
        return SetError(GpStatus::InvalidParameter, "bad size");
    auto image = std::make_unique<GpBitmap>(std::move(*surface));
    const Surface& from = lBitmapHandle->pixels;
    // Drawn over transparent pixels, Over keeps each source pixel as it is.
    DrawImage(image->pixels, *lBitmapHandle, RectD{0, 0, double(lWidth), double(lHeight)},
              RectD{0, 0, double(from.Width()), double(from.Height())}, Affine{}, false);
    image->pixels.SetProfile(from.Profile());
    image->hasAlpha = true;
    image->pixelFormat = PixelFormat32bppARGB;
    return Adopt(std::move(image));
}

PictureRef cBitmap::Picture() {
    if (!image_) {
        SetError(GpStatus::InvalidParameter, "no image");
        return nullptr;
    }
    return MakePicture(*image_, 0);
}

GpStatus cBitmap::SelectActiveFrame(int lFrame, bool lIsGIF) {
    if (!image_ || !image_->source)
        return SetError(GpStatus::InvalidParameter, "no image loaded from a file");
    const Codec* codec = DecoderFor(*image_->source);
    const bool isGif = codec != nullptr && codec->formatName == "GIF";
    // Time frames are a GIF's; pages are everyone else's (one page unless TIFF).
    if (codec == nullptr || lIsGIF != isGif)
        return SetError(GpStatus::InvalidParameter, "the image has no frames of that kind");
    const int count =
        codec->frameCount != nullptr ? std::max(1, codec->frameCount(*image_->source)) : 1;
    if (lFrame < 0 || lFrame >= count)
        return SetError(GpStatus::InvalidParameter, "no such frame");
    auto decoded = codec->decode(*image_->source, DecodeLimits{}, lFrame);
    if (!decoded)
        return SetError(decoded.failure().status, decoded.failure().detail);
    auto image = std::make_unique<GpBitmap>(std::move(decoded.value()));
    image->source = image_->source;
    image->frameCount = count;
    image_ = std::move(image);
    frameCount_ = count;
    RefreshDimensions();
    return SetError(GpStatus::Ok);
}

// [SECTION] Palette

ColorPalette cBitmap::GetPalette() const {
    ColorPalette palette;
    if (image_ && image_->indexed)
        palette.Entries = image_->indexed->palette;
    return palette;
}

GpStatus cBitmap::SetPalette(const ColorPalette& palette) {
    if (!image_)
        return SetError(GpStatus::InvalidParameter, "no image");
    if (palette.Entries.size() > 256)
        return SetError(GpStatus::InvalidParameter, "more than 256 palette entries");
    if (!image_->indexed)
        return SetError(GpStatus::Ok); // direct-colour images have no palette to apply
    auto& indexed = *image_->indexed;
    indexed.palette = palette.Entries;
    auto pixels = image_->pixels.Pixels();
    bool alpha = false;
    for (std::size_t i = 0; i < pixels.size() && i < indexed.indices.size(); ++i) {
        const auto index = indexed.indices[i];
        pixels[i] = index < indexed.palette.size() ? indexed.palette[index] : 0xFF000000u;
        alpha = alpha || (pixels[i] >> 24) != 0xFF;
    }
    image_->hasAlpha = alpha;
    return SetError(GpStatus::Ok);
}

GpStatus cBitmap::SetTransColor(int lIndex) {
    ColorPalette palette = GetPalette();
    const auto entry = static_cast<std::size_t>(lIndex & 255);
    if (entry < palette.Entries.size())
        palette.Entries[entry] &= 0x00FFFFFFu;
    return SetPalette(palette);
}

// [SECTION] Saving

GpStatus cBitmap::SaveToBytes(Bytes& out, int encoderIndex, const EncodeOptions& options) {
    if (!image_ || encoderIndex < 0 || encoderIndex >= static_cast<int>(encoders_.size()))
        return SetError(GpStatus::InvalidParameter, !image_ ? "no image" : "no such encoder");
    if (encoders_[static_cast<std::size_t>(encoderIndex)]->encode == nullptr)
        return SetError(GpStatus::InvalidParameter, "no such encoder");
    const PictureRef picture = MakePicture(*image_, 0);
    auto encoded = encoders_[static_cast<std::size_t>(encoderIndex)]->encode(*picture, options);
    if (!encoded)
        return SetError(encoded.failure().status, encoded.failure().detail);
    out = std::move(encoded.value());
    return SetError(GpStatus::Ok);
}

GpStatus cBitmap::SaveToFile(const std::string& sFileName, int encoderIndex,
                             const EncodeOptions& options) {
    if (!image_ || encoderIndex < 0 || encoderIndex >= static_cast<int>(encoders_.size()))
        return SetError(GpStatus::InvalidParameter, !image_ ? "no image" : "no such encoder");
    const PictureRef picture = MakePicture(*image_, 0);
    auto failure = SavePicture(*picture, *encoders_[static_cast<std::size_t>(encoderIndex)],
                               options, sFileName, Files::Local());
    if (failure)
        return SetError(failure->status, failure->detail);
    return SetError(GpStatus::Ok);
}

} // namespace zembra
