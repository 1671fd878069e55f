#include "support/heic_writer.h"

#include <memory>

#include <libheif/heif.h>

// x265 3.5 leaks a block each time an encoder is opened, inside the library
// (x265_encoder_open); the leak checker is told to look past it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

namespace zembra::testing {

namespace {

struct Free {
    void operator()(heif_context* c) const { heif_context_free(c); }
    void operator()(heif_encoder* e) const { heif_encoder_release(e); }
    void operator()(heif_image* i) const { heif_image_release(i); }
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
    void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
};
template <class T> using Owned = std::unique_ptr<T, Free>;

bool Ok(const heif_error& e) {
    return e.code == heif_error_Ok;
}

Owned<heif_image> AsImage(const Surface& picture) {
    heif_image* raw = nullptr;
    if (!Ok(heif_image_create(picture.Width(), picture.Height(), heif_colorspace_RGB,
                              heif_chroma_interleaved_RGB, &raw)))
        return nullptr;
    Owned<heif_image> image(raw);
    if (!Ok(heif_image_add_plane(raw, heif_channel_interleaved, picture.Width(), picture.Height(),
                                 8)))
        return nullptr;
    int stride = 0;
    std::uint8_t* out = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* o = out + static_cast<std::size_t>(y) * stride;
        for (const std::uint32_t p : picture.Row(y)) {
            *o++ = static_cast<std::uint8_t>(p >> 16);
            *o++ = static_cast<std::uint8_t>(p >> 8);
            *o++ = static_cast<std::uint8_t>(p);
        }
    }
    return image;
}

heif_error Append(heif_context*, const void* data, size_t size, void* out) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), bytes, bytes + size);
    return {heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

} // namespace

std::optional<Bytes> WriteHeic(const Surface& picture, const HeicParts& parts) {
    Owned<heif_context> context(heif_context_alloc());
    heif_encoder* rawEncoder = nullptr;
    if (!Ok(heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder)))
        return std::nullopt;
    Owned<heif_encoder> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 90);
    Owned<heif_encoding_options> options(heif_encoding_options_alloc());
    options->image_orientation = static_cast<heif_orientation>(parts.orientation);
    const auto image = AsImage(picture);
    heif_image_handle* rawHandle = nullptr;
    if (!image || !Ok(heif_context_encode_image(context.get(), image.get(), encoder.get(),
                                                options.get(), &rawHandle)))
        return std::nullopt;
    Owned<heif_image_handle> handle(rawHandle);
    if (parts.thumbnail) {
        const auto thumb = AsImage(*parts.thumbnail);
        heif_image_handle* rawThumb = nullptr;
        if (!thumb || !Ok(heif_context_encode_thumbnail(context.get(), thumb.get(), handle.get(),
                                                        encoder.get(), options.get(),
                                                        parts.thumbnailSide, &rawThumb)))
            return std::nullopt;
        Owned<heif_image_handle> thumbHandle(rawThumb);
    }
    if (!parts.exif.empty() &&
        !Ok(heif_context_add_exif_metadata(context.get(), handle.get(), parts.exif.data(),
                                           static_cast<int>(parts.exif.size()))))
        return std::nullopt;
    Bytes file;
    heif_writer writer{1, Append};
    if (!Ok(heif_context_write(context.get(), &writer, &file)))
        return std::nullopt;
    return file;
}

} // namespace zembra::testing
