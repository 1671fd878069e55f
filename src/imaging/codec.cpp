#include "imaging/codec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace zembra {

namespace {

bool StartsWith(ByteSpan bytes, std::initializer_list<std::uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool IsBmp(ByteSpan b) {
    return StartsWith(b, {'B', 'M'});
}
bool IsJpeg(ByteSpan b) {
    return StartsWith(b, {0xFF, 0xD8, 0xFF});
}
bool IsGif(ByteSpan b) {
    return StartsWith(b, {'G', 'I', 'F', '8', '7', 'a'}) ||
           StartsWith(b, {'G', 'I', 'F', '8', '9', 'a'});
}
bool IsTiff(ByteSpan b) {
    // Classic and big TIFF, either byte order.
    return StartsWith(b, {'I', 'I', 42, 0}) || StartsWith(b, {'M', 'M', 0, 42}) ||
           StartsWith(b, {'I', 'I', 43, 0}) || StartsWith(b, {'M', 'M', 0, 43});
}
bool IsPng(ByteSpan b) {
    return StartsWith(b, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
}

const std::array<Codec, 8> kCodecs = {{
    {"BMP", "*.BMP;*.DIB;*.RLE", "image/bmp", IsBmp, DecodeBmp, nullptr, EncodeBmp, nullptr},
    {"JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg", IsJpeg, DecodeJpeg, nullptr, EncodeJpeg,
     EncodeJpegRows},
    {"GIF", "*.GIF", "image/gif", IsGif, DecodeGif, GifFrameCount, EncodeGif, nullptr},
    {"TIFF", "*.TIF;*.TIFF", "image/tiff", IsTiff, DecodeTiff, TiffPageCount, EncodeTiff, nullptr},
    {"PNG", "*.PNG", "image/png", IsPng, DecodePng, nullptr, EncodePng, EncodePngRows},
    {"WEBP", "*.WEBP", "image/webp", IsWebp, DecodeWebp, nullptr, EncodeWebp, nullptr},
    {"AVIF", "*.AVIF", "image/avif", IsAvif, DecodeHeif, nullptr, EncodeAvif, nullptr},
    {"HEIF", "*.HEIC;*.HEIF", "image/heic", IsHeif, DecodeHeif, nullptr, nullptr, nullptr},
}};

} // namespace

std::span<const Codec> Codecs() {
    return kCodecs;
}

const Codec* DecoderFor(ByteSpan bytes) {
    for (const auto& codec : kCodecs)
        if (codec.matches(bytes))
            return &codec;
    return nullptr;
}

std::optional<StoredSize> StoredPictureSize(ByteSpan bytes) {
    const Codec* codec = DecoderFor(bytes);
    if (codec == nullptr)
        return std::nullopt;
    if (codec->decode == DecodeJpeg)
        return JpegPictureSize(bytes);
    if (codec->decode == DecodeWebp)
        return WebpPictureSize(bytes);
    if (codec->decode == DecodeHeif)
        return HeifPictureSize(bytes);
    return std::nullopt;
}

Result<GpBitmap> DecodePicture(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    const Codec* codec = DecoderFor(bytes);
    if (codec == nullptr)
        return Failure{GpStatus::UnknownImageFormat,
                       "not a BMP, JPEG, GIF, TIFF, PNG, WebP, AVIF or HEIF file"};
    if (frame < 0)
        return Failure{GpStatus::InvalidParameter, "no such frame"};
    return codec->decode(bytes, limits, frame);
}

Result<Bytes> EncodeRows(const Codec& codec, PixelRows& picture, const EncodeOptions& options) {
    if (codec.encode == nullptr)
        return Failure{GpStatus::InvalidParameter, std::string(codec.formatName) + " is only read"};
    if (codec.encodeRows != nullptr)
        return codec.encodeRows(picture, options);
    auto whole = CollectRows(picture);
    if (!whole)
        return Failure{GpStatus::GenericError, "the picture's rows ran out"};
    return codec.encode(*whole, options);
}

ColorProfile RgbProfile(const std::uint8_t* data, std::size_t size) {
    // A profile header is 128 bytes; the data colour space sits at offset 16.
    constexpr std::size_t kHeaderSize = 128;
    if (data == nullptr || size < kHeaderSize)
        return nullptr;
    if (std::memcmp(data + 16, "RGB ", 4) != 0)
        return nullptr;
    return std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
}

std::optional<Failure> PixelLimitFailure(std::int64_t width, std::int64_t height,
                                         const DecodeLimits& limits) {
    if (width <= 0 || height <= 0)
        return Failure{GpStatus::GenericError, "the picture has no pixels"};
    if (width > limits.maxPixels / height)
        return Failure{GpStatus::OutOfMemory,
                       "the picture is too large (" + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels; at most " +
                           std::to_string(limits.maxPixels) + " pixels are decoded)"};
    return std::nullopt;
}

Result<Surface> AllocatePixels(std::int64_t width, std::int64_t height,
                               const DecodeLimits& limits) {
    if (auto refused = PixelLimitFailure(width, height, limits))
        return std::move(*refused);
    auto surface = Surface::Create(static_cast<int>(width), static_cast<int>(height));
    if (!surface)
        return Failure{GpStatus::OutOfMemory, "the picture is too large"};
    return std::move(*surface);
}

} // namespace zembra
