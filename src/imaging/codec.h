#pragma once
// The codecs behind the imaging classes, in the order their encoders are listed.
// A file is decoded by whichever codec recognises its first bytes, whatever its
// name says; an output's encoder is chosen by the caller, from the name.

#include "imaging/gp_bitmap.h"
#include "imaging/status.h"
#include "platform/files.h"
#include "platform/pixel_rows.h"
#include "platform/surface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace zembra {

using ByteSpan = std::span<const std::uint8_t>;

struct EncodeOptions {
    std::optional<int> quality; // JPEG, WebP and AVIF: 0..100, clamped to that range
    // An EXIF block (from its TIFF header on) for the formats that carry one inside
    // the encoded picture (WebP and AVIF); JPEG outputs get theirs afterwards.
    std::shared_ptr<const Bytes> exif = nullptr;
};

// The quality of WebP and AVIF files when none is given.
inline constexpr int kDefaultLossyQuality = 75;

// Rows of a picture file decoded as they are asked for; a damaged file shows only
// when its rows are read, and then failure() says why.
class DecodedRows : public PixelRows {
  public:
    virtual std::optional<Failure> failure() const = 0;
    // Before the first row is read: decode at a smaller size, still at least
    // minWidth x minHeight, where the format can do that cheaply (JPEG's scaled
    // decoding). Width() and Height() give the new size; false when it stays.
    virtual bool ReduceTo(int /*minWidth*/, int /*minHeight*/) { return false; }
};

struct Codec {
    std::string_view formatName;
    std::string_view patterns; // "*.JPG;*.JPEG;*.JPE;*.JFIF"
    std::string_view mimeType;
    bool (*matches)(ByteSpan bytes);
    Result<GpBitmap> (*decode)(ByteSpan bytes, const DecodeLimits& limits, int frame);
    // Frames or pages in the file; null for formats that hold one picture.
    int (*frameCount)(ByteSpan bytes);
    // Encodes an opaque picture, embedding its colour profile where the format can;
    // null for formats that are only read.
    Result<Bytes> (*encode)(const Surface& picture, const EncodeOptions& options);
    // The same from rows taken top to bottom; null for formats that need the whole
    // picture at once (EncodeRows collects the rows for them).
    Result<Bytes> (*encodeRows)(PixelRows& picture, const EncodeOptions& options);
};

// BMP, JPEG, GIF, TIFF, PNG, WebP, AVIF, then HEIF (read only).
std::span<const Codec> Codecs();

// The codec whose signature the bytes start with, or null.
const Codec* DecoderFor(ByteSpan bytes);

// Decodes frame `frame` (0 = the first) of a picture file held in memory.
Result<GpBitmap> DecodePicture(ByteSpan bytes, const DecodeLimits& limits = {}, int frame = 0);

// Encodes a picture given row by row with a codec; fails when a row cannot be had.
Result<Bytes> EncodeRows(const Codec& codec, PixelRows& picture, const EncodeOptions& options);

// [SECTION] The codecs. Decoders read frame 0 unless a codec has more.

Result<GpBitmap> DecodeBmp(ByteSpan bytes, const DecodeLimits& limits, int frame);
Result<Bytes> EncodeBmp(const Surface& picture, const EncodeOptions& options);

Result<GpBitmap> DecodeJpeg(ByteSpan bytes, const DecodeLimits& limits, int frame);
Result<Bytes> EncodeJpeg(const Surface& picture, const EncodeOptions& options);
Result<Bytes> EncodeJpegRows(PixelRows& picture, const EncodeOptions& options);
// Starts decoding; the rows are decoded as they are read.
Result<std::unique_ptr<DecodedRows>> OpenJpegRows(std::shared_ptr<const Bytes> bytes,
                                                  const DecodeLimits& limits);
// A picture's size as its file gives it.
struct StoredSize {
    int width = 0, height = 0;
};
// The size of the picture a decode gives, from the file's header where its format
// keeps it there (JPEG, WebP, HEIF); nullopt for other formats, or when the header
// is not all in `bytes`.
std::optional<StoredSize> StoredPictureSize(ByteSpan bytes);

// The picture's size from the file's header alone.
std::optional<StoredSize> JpegPictureSize(ByteSpan bytes);
// The smallest scale, in eighths (1 to 8), at which libjpeg's scaled decoding
// of a width x height picture still gives at least minWidth x minHeight.
int JpegScaleEighths(int width, int height, int minWidth, int minHeight);
// Decodes at the smallest scale that still gives at least minWidth x minHeight,
// which is far quicker for pictures shown small.
Result<GpBitmap> DecodeJpegReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight);

Result<GpBitmap> DecodePng(ByteSpan bytes, const DecodeLimits& limits, int frame);
Result<Bytes> EncodePng(const Surface& picture, const EncodeOptions& options);
Result<Bytes> EncodePngRows(PixelRows& picture, const EncodeOptions& options);

Result<GpBitmap> DecodeGif(ByteSpan bytes, const DecodeLimits& limits, int frame);
int GifFrameCount(ByteSpan bytes);
Result<Bytes> EncodeGif(const Surface& picture, const EncodeOptions& options);

Result<GpBitmap> DecodeTiff(ByteSpan bytes, const DecodeLimits& limits, int frame);
int TiffPageCount(ByteSpan bytes);
Result<Bytes> EncodeTiff(const Surface& picture, const EncodeOptions& options);

bool IsWebp(ByteSpan bytes);
Result<GpBitmap> DecodeWebp(ByteSpan bytes, const DecodeLimits& limits, int frame);
// The first frame's size from its header alone.
std::optional<StoredSize> WebpPictureSize(ByteSpan bytes);
// The first frame scaled down while it is decoded, to the smallest size of its
// shape that is still at least minWidth x minHeight (never enlarged).
Result<GpBitmap> DecodeWebpReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight);
Result<Bytes> EncodeWebp(const Surface& picture, const EncodeOptions& options);

// AVIF and HEIC are both HEIF containers, told apart by their brands; one decoder
// reads both.
bool IsAvif(ByteSpan bytes);
bool IsHeif(ByteSpan bytes);
Result<GpBitmap> DecodeHeif(ByteSpan bytes, const DecodeLimits& limits, int frame);
// The primary picture's size as it is shown (turned), from the file's boxes alone.
std::optional<StoredSize> HeifPictureSize(ByteSpan bytes);
// The primary picture's smallest thumbnail that is at least minWidth x minHeight
// and of the picture's shape, else the picture itself; either turned as the file
// asks, with the picture's colour profile.
Result<GpBitmap> DecodeHeifReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight);
Result<Bytes> EncodeAvif(const Surface& picture, const EncodeOptions& options);

// An embedded ICC profile kept for pixels decoded as RGB: only a profile whose data
// colour space is RGB describes them (a CMYK or grey profile would not once the
// pixels are RGB); anything else gives none.
ColorProfile RgbProfile(const std::uint8_t* data, std::size_t size);

// Why a picture of this size is not decoded (no pixels, or more than the limit
// allows), or nothing when it may be.
std::optional<Failure> PixelLimitFailure(std::int64_t width, std::int64_t height,
                                         const DecodeLimits& limits);

// A surface of the decoded size, or the failure that says why there is none.
Result<Surface> AllocatePixels(std::int64_t width, std::int64_t height, const DecodeLimits& limits);

} // namespace zembra
