#include "imaging/picture_file.h"

#include <cerrno>
#include <cstring>

namespace zembra {

namespace {

Failure SystemFailure(int error) {
    const std::string text = std::strerror(error);
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return {GpStatus::FileNotFound, text};
    case EACCES:
    case EPERM:
        return {GpStatus::AccessDenied, text};
    default:
        return {GpStatus::Win32Error, text};
    }
}

} // namespace

// Through the file layer, so a source the run holds is read from the file it
// opened, whatever has its name by now.
Result<std::shared_ptr<const Bytes>> ReadPictureFile(const std::string& path) {
    if (path.empty())
        return Failure{GpStatus::FileNotFound, "no file name"};
    errno = 0;
    auto bytes = Files::Local().ReadAll(path);
    if (!bytes)
        return errno != 0 ? SystemFailure(errno) : Failure{GpStatus::Win32Error, "not a file"};
    return std::shared_ptr<const Bytes>(std::make_shared<Bytes>(std::move(*bytes)));
}

Result<GpBitmap> LoadPictureFile(const std::string& path, const DecodeLimits& limits) {
    auto bytes = ReadPictureFile(path);
    if (!bytes)
        return bytes.failure();
    auto decoded = DecodePicture(*bytes.value(), limits);
    if (!decoded)
        return decoded.failure();
    GpBitmap& bitmap = decoded.value();
    bitmap.source = bytes.value();
    if (const Codec* codec = DecoderFor(*bitmap.source);
        codec != nullptr && codec->frameCount != nullptr)
        bitmap.frameCount = std::max(1, codec->frameCount(*bitmap.source));
    return decoded;
}

std::uint32_t OverOpaque(std::uint32_t pixel, std::uint32_t background) {
    const std::uint32_t a = pixel >> 24;
    if (a == 255)
        return pixel;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = (pixel >> shift) & 0xFF;
        const std::uint32_t d = (background >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

namespace {

PictureRef Flatten(std::shared_ptr<Surface> surface, bool hasAlpha, std::uint32_t background) {
    if (hasAlpha) {
        const std::uint32_t under = PixelFromColor(background);
        for (auto& p : surface->Pixels())
            p = OverOpaque(p, under);
    }
    return surface;
}

} // namespace

PictureRef MakePicture(GpBitmap&& bitmap, std::uint32_t background) {
    return Flatten(std::make_shared<Surface>(std::move(bitmap.pixels)), bitmap.hasAlpha,
                   background);
}

PictureRef MakePicture(const GpBitmap& bitmap, std::uint32_t background) {
    return Flatten(std::make_shared<Surface>(bitmap.pixels), bitmap.hasAlpha, background);
}

namespace {

// A picture decoded whole, handed out row by row.
class WholePictureRows final : public DecodedRows {
  public:
    explicit WholePictureRows(PictureRef picture)
        : picture_(std::move(picture)), rows_(*picture_) {}
    int Width() const override { return rows_.Width(); }
    int Height() const override { return rows_.Height(); }
    const ColorProfile& Profile() const override { return rows_.Profile(); }
    const std::uint32_t* Next() override { return rows_.Next(); }
    bool Skip(int count) override { return rows_.Skip(count); }
    std::optional<Failure> failure() const override { return std::nullopt; }

  private:
    PictureRef picture_;
    SurfaceRows rows_;
};

} // namespace

Result<std::unique_ptr<DecodedRows>>
OpenPictureRows(const std::string& path, std::uint32_t background, const DecodeLimits& limits) {
    auto bytes = ReadPictureFile(path);
    if (!bytes)
        return bytes.failure();
    // JPEG pictures are opaque, so the background never shows through them.
    if (const Codec* codec = DecoderFor(*bytes.value());
        codec != nullptr && codec->decode == DecodeJpeg)
        return OpenJpegRows(bytes.value(), limits);
    auto decoded = DecodePicture(*bytes.value(), limits);
    if (!decoded)
        return decoded.failure();
    return std::unique_ptr<DecodedRows>(
        std::make_unique<WholePictureRows>(MakePicture(std::move(decoded.value()), background)));
}

std::optional<Failure> SavePicture(const Surface& picture, const Codec& codec,
                                   const EncodeOptions& options, const std::string& path,
                                   Files& files) {
    auto encoded = codec.encode(picture, options);
    if (!encoded)
        return encoded.failure();
    return WritePicture(encoded.value(), path, files);
}

std::optional<Failure> WritePicture(const Bytes& encoded, const std::string& path, Files& files) {
    errno = 0;
    if (!files.WriteAll(path, encoded)) {
        const int error = errno;
        Failure failure = error != 0 ? SystemFailure(error) : Failure{GpStatus::Win32Error, {}};
        failure.detail = "cannot write " + path + (error != 0 ? ": " + failure.detail : "");
        if (failure.status == GpStatus::FileNotFound)
            failure.status = GpStatus::Win32Error; // a missing folder is a write error here
        return failure;
    }
    return std::nullopt;
}

} // namespace zembra
