// WebP through libwebp: lossy and lossless pictures (of an animation, its first
// frame) in, scaled down while decoding for a small box; lossy WebP out. Colour profiles travel in
// the ICCP chunk, the EXIF block in the EXIF chunk, both put together by libwebpmux.

#include "imaging/codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include <webp/decode.h>
#include <webp/encode.h>
#include <webp/mux.h>

namespace zembra {

namespace {

struct MuxFree {
    void operator()(WebPMux* m) const { WebPMuxDelete(m); }
};
using Mux = std::unique_ptr<WebPMux, MuxFree>;
struct DataClear {
    void operator()(WebPData* d) const { WebPDataClear(d); }
};

Failure WebpFailure(const std::string& what) {
    return {GpStatus::GenericError, "WebP: " + what};
}

// WebP sides are stored in 14 bits.
constexpr int kLargestSide = 16383;

} // namespace

bool IsWebp(ByteSpan b) {
    return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 &&
           std::memcmp(b.data() + 8, "WEBP", 4) == 0;
}

namespace {

// A file's picture data: the file itself, or for an animation its first frame,
// which the mux puts together anew; the mux points into the bytes, which
// outlive it.
class FirstFrame {
  public:
    explicit FirstFrame(ByteSpan bytes)
        : whole_{bytes.data(), bytes.size()}, mux_(WebPMuxCreate(&whole_, 0)) {
        if (mux_ && WebPMuxGetFrame(mux_.get(), 1, &frame_) == WEBP_MUX_OK)
            frameData_.reset(&frame_.bitstream);
    }
    FirstFrame(const FirstFrame&) = delete; // frameData_ points into this
    FirstFrame& operator=(const FirstFrame&) = delete;
    const WebPData& Picture() const { return frameData_ ? frame_.bitstream : whole_; }
    const Mux& Container() const { return mux_; }
    bool Features(WebPBitstreamFeatures& features) const {
        return WebPGetFeatures(Picture().bytes, Picture().size, &features) == VP8_STATUS_OK;
    }

  private:
    WebPData whole_;
    Mux mux_;
    WebPMuxFrameInfo frame_{};
    std::unique_ptr<WebPData, DataClear> frameData_;
};

void SetProfileOf(GpBitmap& bitmap, const FirstFrame& file) {
    WebPData icc{};
    if (file.Container() && WebPMuxGetChunk(file.Container().get(), "ICCP", &icc) == WEBP_MUX_OK)
        bitmap.pixels.SetProfile(RgbProfile(icc.bytes, icc.size));
}

// The picture decoded at width x height, libwebp scaling it down as it decodes
// when that is less than the stored size.
Result<GpBitmap> DecodeAt(const FirstFrame& file, const WebPBitstreamFeatures& features, int width,
                          int height, const DecodeLimits& limits) {
    if (auto refused = PixelLimitFailure(features.width, features.height, limits))
        return std::move(*refused);
    auto pixels = AllocatePixels(width, height, limits);
    if (!pixels)
        return pixels.failure();
    GpBitmap bitmap(std::move(pixels.value()));
    auto out = bitmap.pixels.Pixels();
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return WebpFailure("the decoder does not match its header");
    if (width != features.width || height != features.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    // B, G, R, A bytes in memory are the surface's own layout.
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<std::uint8_t*>(out.data());
    config.output.u.RGBA.stride = width * 4;
    config.output.u.RGBA.size = out.size_bytes();
    const bool decoded =
        WebPDecode(file.Picture().bytes, file.Picture().size, &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    if (!decoded)
        return WebpFailure("the picture data is damaged");
    bitmap.hasAlpha = features.has_alpha != 0;
    bitmap.pixelFormat = bitmap.hasAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    SetProfileOf(bitmap, file);
    return bitmap;
}

} // namespace

Result<GpBitmap> DecodeWebp(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter, "WebP pictures are read whole"};
    const FirstFrame file(bytes);
    WebPBitstreamFeatures features{};
    if (!file.Features(features))
        return WebpFailure("not a picture libwebp can read");
    return DecodeAt(file, features, features.width, features.height, limits);
}

std::optional<StoredSize> WebpPictureSize(ByteSpan bytes) {
    WebPBitstreamFeatures features{};
    if (!FirstFrame(bytes).Features(features))
        return std::nullopt;
    return StoredSize{features.width, features.height};
}

Result<GpBitmap> DecodeWebpReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight) {
    const FirstFrame file(bytes);
    WebPBitstreamFeatures features{};
    if (!file.Features(features))
        return WebpFailure("not a picture libwebp can read");
    const int w = features.width, h = features.height;
    if (w < 1 || h < 1 || (minWidth >= w && minHeight >= h))
        return DecodeAt(file, features, w, h, limits);
    // The smallest size of the picture's shape that covers both least sides.
    const double scale =
        std::max(static_cast<double>(minWidth) / w, static_cast<double>(minHeight) / h);
    const int width = std::clamp(static_cast<int>(std::ceil(w * scale - 1e-9)), 1, w);
    const int height = std::clamp(static_cast<int>(std::ceil(h * scale - 1e-9)), 1, h);
    return DecodeAt(file, features, width, height, limits);
}

namespace {

struct PictureFree {
    void operator()(WebPPicture* p) const { WebPPictureFree(p); }
};

Result<Bytes> EncodeBitstream(const Surface& picture, int quality) {
    WebPConfig config;
    if (!WebPConfigInit(&config))
        return WebpFailure("the encoder does not match its header");
    config.quality = static_cast<float>(quality);
    WebPPicture pic;
    if (!WebPPictureInit(&pic))
        return WebpFailure("the encoder does not match its header");
    pic.use_argb = 1;
    pic.width = picture.Width();
    pic.height = picture.Height();
    const std::unique_ptr<WebPPicture, PictureFree> owned(&pic);
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(picture.Pixels().data());
    // BGRX: the alpha byte is left out, as every output here is opaque.
    if (!WebPPictureImportBGRX(&pic, pixels, picture.Width() * 4))
        return Failure{GpStatus::OutOfMemory, "WebP: no memory for the picture"};
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    const bool ok = WebPEncode(&config, &pic) != 0;
    Bytes out(writer.mem, writer.mem + writer.size);
    WebPMemoryWriterClear(&writer);
    if (!ok)
        return WebpFailure("encoding failed (error " + std::to_string(pic.error_code) + ")");
    return out;
}

} // namespace

Result<Bytes> EncodeWebp(const Surface& picture, const EncodeOptions& options) {
    if (picture.Width() > kLargestSide || picture.Height() > kLargestSide)
        return Failure{GpStatus::InvalidParameter,
                       "WebP: pictures are at most 16383 pixels wide and high"};
    auto bitstream = EncodeBitstream(
        picture, std::clamp(options.quality.value_or(kDefaultLossyQuality), 0, 100));
    if (!bitstream)
        return bitstream.failure();
    const auto& icc = picture.Profile();
    const bool hasIcc = icc && !icc->empty();
    const bool hasExif = options.exif && !options.exif->empty();
    if (!hasIcc && !hasExif)
        return bitstream;

    const Mux mux(WebPMuxNew());
    if (!mux)
        return Failure{GpStatus::OutOfMemory, "WebP: no memory for the file"};
    const WebPData image{bitstream.value().data(), bitstream.value().size()};
    bool ok = WebPMuxSetImage(mux.get(), &image, 1) == WEBP_MUX_OK;
    if (ok && hasIcc) {
        const WebPData chunk{icc->data(), icc->size()};
        ok = WebPMuxSetChunk(mux.get(), "ICCP", &chunk, 1) == WEBP_MUX_OK;
    }
    if (ok && hasExif) {
        const WebPData chunk{options.exif->data(), options.exif->size()};
        ok = WebPMuxSetChunk(mux.get(), "EXIF", &chunk, 1) == WEBP_MUX_OK;
    }
    WebPData assembled{};
    ok = ok && WebPMuxAssemble(mux.get(), &assembled) == WEBP_MUX_OK;
    if (!ok) {
        WebPDataClear(&assembled);
        return WebpFailure("the file could not be put together");
    }
    Bytes out(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    return out;
}

} // namespace zembra
