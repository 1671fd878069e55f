// WebP through libwebp: lossy and lossless pictures (of an animation, its first
// frame) in; lossy WebP out. Colour profiles travel in the ICCP chunk, the EXIF
// block in the EXIF chunk, both put together by libwebpmux.

#include "imaging/codec.h"

#include <algorithm>
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

Result<GpBitmap> DecodeWebp(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter, "WebP pictures are read whole"};
    const WebPData whole{bytes.data(), bytes.size()};
    // Copy 0: the mux only points into the bytes, which outlive it.
    const Mux mux(WebPMuxCreate(&whole, 0));
    WebPData picture = whole;
    WebPMuxFrameInfo first{};
    // The frame's bitstream is put together anew for the caller, who frees it.
    const std::unique_ptr<WebPData, DataClear> frameData(
        mux && WebPMuxGetFrame(mux.get(), 1, &first) == WEBP_MUX_OK ? &first.bitstream : nullptr);
    if (frameData)
        picture = first.bitstream;
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(picture.bytes, picture.size, &features) != VP8_STATUS_OK)
        return WebpFailure("not a picture libwebp can read");
    auto pixels = AllocatePixels(features.width, features.height, limits);
    if (!pixels)
        return pixels.failure();
    GpBitmap bitmap(std::move(pixels.value()));
    auto out = bitmap.pixels.Pixels();
    // B, G, R, A bytes in memory are the surface's own layout.
    if (WebPDecodeBGRAInto(picture.bytes, picture.size, reinterpret_cast<std::uint8_t*>(out.data()),
                           out.size_bytes(), features.width * 4) == nullptr)
        return WebpFailure("the picture data is damaged");
    bitmap.hasAlpha = features.has_alpha != 0;
    bitmap.pixelFormat = bitmap.hasAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    WebPData icc{};
    if (mux && WebPMuxGetChunk(mux.get(), "ICCP", &icc) == WEBP_MUX_OK)
        bitmap.pixels.SetProfile(RgbProfile(icc.bytes, icc.size));
    return bitmap;
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
