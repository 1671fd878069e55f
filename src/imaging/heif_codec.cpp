// HEIC, HEIF and AVIF through libheif: the primary picture in, turned and
// mirrored as its container asks (libheif applies those itself), or for a small
// box the thumbnail that phones store beside it; 8-bit AVIF out
// through whichever AV1 encoder libheif was built with. Colour profiles travel
// in the colr box, the EXIF block in an Exif item.

#include "imaging/codec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <libheif/heif.h>

namespace zembra {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageFree {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct EncoderFree {
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;
using Encoder = std::unique_ptr<heif_encoder, EncoderFree>;

Failure HeifFailure(const char* format, const heif_error& error) {
    const GpStatus status = error.code == heif_error_Memory_allocation_error
                                ? GpStatus::OutOfMemory
                                : GpStatus::GenericError;
    return {status, std::string(format) + ": " + (error.message ? error.message : "failed")};
}

// The brand at offset 8 of the ftyp box, and the compatible brands after it.
bool HasBrand(ByteSpan b, std::initializer_list<const char*> brands) {
    if (b.size() < 16 || std::memcmp(b.data() + 4, "ftyp", 4) != 0)
        return false;
    const std::size_t boxSize =
        (std::size_t{b[0]} << 24) | (std::size_t{b[1]} << 16) | (std::size_t{b[2]} << 8) | b[3];
    const std::size_t end = std::min(b.size(), boxSize);
    for (std::size_t at = 8; at + 4 <= end; at += 4) {
        if (at == 12)
            continue; // the minor version
        for (const char* brand : brands)
            if (std::memcmp(b.data() + at, brand, 4) == 0)
                return true;
    }
    return false;
}

Result<Context> OpenContext(ByteSpan bytes, const char* format) {
    Context context(heif_context_alloc());
    if (!context)
        return Failure{GpStatus::OutOfMemory, std::string(format) + ": no memory for the decoder"};
    const heif_error read = heif_context_read_from_memory_without_copy(context.get(), bytes.data(),
                                                                       bytes.size(), nullptr);
    if (read.code != heif_error_Ok)
        return HeifFailure(format, read);
    return context;
}

const char* FormatOf(ByteSpan bytes) {
    return IsAvif(bytes) ? "AVIF" : "HEIF";
}

} // namespace

bool IsAvif(ByteSpan bytes) {
    return HasBrand(bytes, {"avif", "avis"});
}

bool IsHeif(ByteSpan bytes) {
    return !IsAvif(bytes) &&
           HasBrand(bytes, {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"});
}

namespace {

Result<Handle> PrimaryHandle(const Context& context, const char* format,
                             const DecodeLimits& limits) {
    heif_image_handle* raw = nullptr;
    const heif_error primary = heif_context_get_primary_image_handle(context.get(), &raw);
    if (primary.code != heif_error_Ok)
        return HeifFailure(format, primary);
    Handle handle(raw);
    // The size before turning is checked; turning only swaps the sides.
    if (auto refused = PixelLimitFailure(heif_image_handle_get_width(handle.get()),
                                         heif_image_handle_get_height(handle.get()), limits))
        return std::move(*refused);
    return handle;
}

// The pixels of one picture of the file, the primary one or a thumbnail, turned
// and mirrored as its own boxes ask.
Result<GpBitmap> DecodeHandle(const Handle& handle, const char* format,
                              const DecodeLimits& limits) {
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (options)
        options->convert_hdr_to_8bit = 1;
    heif_image* rawImage = nullptr;
    const heif_error decoded = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                                                 heif_chroma_interleaved_RGBA, options.get());
    if (decoded.code != heif_error_Ok)
        return HeifFailure(format, decoded);
    const Image image(rawImage);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (plane == nullptr || stride < width * 4)
        return Failure{GpStatus::GenericError, std::string(format) + ": no pixels decoded"};
    auto pixels = AllocatePixels(width, height, limits);
    if (!pixels)
        return pixels.failure();
    GpBitmap bitmap(std::move(pixels.value()));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::size_t>(y) * stride;
        auto row = bitmap.pixels.Row(y);
        for (int x = 0; x < width; ++x, in += 4)
            row[x] = (std::uint32_t{in[3]} << 24) | (std::uint32_t{in[0]} << 16) |
                     (std::uint32_t{in[1]} << 8) | in[2];
    }
    bitmap.hasAlpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    bitmap.pixelFormat = bitmap.hasAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    return bitmap;
}

// The primary picture's profile, which its thumbnails share whether or not they
// carry one of their own.
void SetProfileOf(GpBitmap& bitmap, const Handle& primary) {
    const auto profileType = heif_image_handle_get_color_profile_type(primary.get());
    if (profileType != heif_color_profile_type_prof && profileType != heif_color_profile_type_rICC)
        return;
    std::vector<std::uint8_t> icc(heif_image_handle_get_raw_color_profile_size(primary.get()));
    if (!icc.empty() &&
        heif_image_handle_get_raw_color_profile(primary.get(), icc.data()).code == heif_error_Ok)
        bitmap.pixels.SetProfile(RgbProfile(icc.data(), icc.size()));
}

// The smallest thumbnail of the primary picture that is at least minWidth x
// minHeight and has the picture's shape (to within a pixel); null when none is.
Handle ThumbnailFor(const Handle& primary, int minWidth, int minHeight) {
    const std::int64_t width = heif_image_handle_get_width(primary.get());
    const std::int64_t height = heif_image_handle_get_height(primary.get());
    const int count = heif_image_handle_get_number_of_thumbnails(primary.get());
    if (count <= 0 || width < 1 || height < 1)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    ids.resize(static_cast<std::size_t>(
        heif_image_handle_get_list_of_thumbnail_IDs(primary.get(), ids.data(), count)));
    Handle best;
    for (const heif_item_id id : ids) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(primary.get(), id, &raw).code != heif_error_Ok)
            continue;
        Handle thumbnail(raw);
        const std::int64_t w = heif_image_handle_get_width(thumbnail.get());
        const std::int64_t h = heif_image_handle_get_height(thumbnail.get());
        const bool sameShape = std::abs(w * height - h * width) <= std::max(width, height);
        const bool largeEnough = w >= minWidth && h >= minHeight;
        if (sameShape && largeEnough && w < width &&
            (!best || w < heif_image_handle_get_width(best.get())))
            best = std::move(thumbnail);
    }
    return best;
}

} // namespace

Result<GpBitmap> DecodeHeif(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    const char* format = FormatOf(bytes);
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter,
                       std::string(format) + " pictures are read whole"};
    // No thumbnail is as large as its picture: the picture itself is decoded.
    return DecodeHeifReduced(bytes, limits, std::numeric_limits<int>::max(),
                             std::numeric_limits<int>::max());
}

std::optional<StoredSize> HeifPictureSize(ByteSpan bytes) {
    auto context = OpenContext(bytes, FormatOf(bytes));
    if (!context)
        return std::nullopt;
    auto primary = PrimaryHandle(context.value(), FormatOf(bytes), {});
    if (!primary)
        return std::nullopt;
    return StoredSize{heif_image_handle_get_width(primary.value().get()),
                      heif_image_handle_get_height(primary.value().get())};
}

Result<GpBitmap> DecodeHeifReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight) {
    const char* format = FormatOf(bytes);
    auto context = OpenContext(bytes, format);
    if (!context)
        return context.failure();
    auto primary = PrimaryHandle(context.value(), format, limits);
    if (!primary)
        return primary.failure();
    const Handle thumbnail = ThumbnailFor(primary.value(), minWidth, minHeight);
    const Handle& chosen = thumbnail ? thumbnail : primary.value();
    auto bitmap = DecodeHandle(chosen, format, limits);
    if (bitmap)
        SetProfileOf(bitmap.value(), primary.value());
    return bitmap;
}

namespace {

heif_error WriteInto(heif_context*, const void* data, size_t size, void* out) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), bytes, bytes + size);
    return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

// aom's speed 6 encodes a 12 megapixel photograph in seconds rather than the
// half minute of its default, for files a few percent larger.
constexpr int kAomSpeed = 6;

} // namespace

Result<Bytes> EncodeAvif(const Surface& picture, const EncodeOptions& options) {
    Context context(heif_context_alloc());
    if (!context)
        return Failure{GpStatus::OutOfMemory, "AVIF: no memory for the encoder"};
    heif_encoder* rawEncoder = nullptr;
    const heif_error found =
        heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &rawEncoder);
    if (found.code != heif_error_Ok)
        return HeifFailure("AVIF", found);
    const Encoder encoder(rawEncoder);
    heif_encoder_set_lossy_quality(
        encoder.get(), std::clamp(options.quality.value_or(kDefaultLossyQuality), 0, 100));
    // Encoders that do not know the parameter just refuse it.
    (void)heif_encoder_set_parameter_integer(encoder.get(), "speed", kAomSpeed);

    heif_image* rawImage = nullptr;
    const heif_error created =
        heif_image_create(picture.Width(), picture.Height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &rawImage);
    if (created.code != heif_error_Ok)
        return HeifFailure("AVIF", created);
    const Image image(rawImage);
    const heif_error plane = heif_image_add_plane(image.get(), heif_channel_interleaved,
                                                  picture.Width(), picture.Height(), 8);
    if (plane.code != heif_error_Ok)
        return HeifFailure("AVIF", plane);
    int stride = 0;
    std::uint8_t* out = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* o = out + static_cast<std::size_t>(y) * stride;
        for (const std::uint32_t p : picture.Row(y)) {
            *o++ = static_cast<std::uint8_t>(p >> 16);
            *o++ = static_cast<std::uint8_t>(p >> 8);
            *o++ = static_cast<std::uint8_t>(p);
        }
    }
    if (const auto& icc = picture.Profile(); icc && !icc->empty())
        (void)heif_image_set_raw_color_profile(image.get(), "prof", icc->data(), icc->size());

    heif_image_handle* rawHandle = nullptr;
    const heif_error encoded =
        heif_context_encode_image(context.get(), image.get(), encoder.get(), nullptr, &rawHandle);
    if (encoded.code != heif_error_Ok)
        return HeifFailure("AVIF", encoded);
    const Handle handle(rawHandle);
    if (options.exif && !options.exif->empty()) {
        const heif_error exif =
            heif_context_add_exif_metadata(context.get(), handle.get(), options.exif->data(),
                                           static_cast<int>(options.exif->size()));
        if (exif.code != heif_error_Ok)
            return HeifFailure("AVIF", exif);
    }
    Bytes file;
    heif_writer writer{1, WriteInto};
    const heif_error written = heif_context_write(context.get(), &writer, &file);
    if (written.code != heif_error_Ok)
        return HeifFailure("AVIF", written);
    return file;
}

} // namespace zembra
