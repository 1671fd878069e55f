#include "imaging/picture_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

Result<std::shared_ptr<const Bytes>> ReadPictureFile(const std::string& path) {
    if (path.empty())
        return Failure{GpStatus::FileNotFound, "no file name"};
    Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return SystemFailure(errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return SystemFailure(errno);
    if (!S_ISREG(st.st_mode))
        return Failure{GpStatus::Win32Error, "not a file"};
    auto bytes = std::make_shared<Bytes>(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t n = ::read(file.fd, bytes->data() + done, bytes->size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SystemFailure(errno);
        if (n == 0)
            break; // the file shrank while we read it
        done += static_cast<std::size_t>(n);
    }
    bytes->resize(done);
    return std::shared_ptr<const Bytes>(std::move(bytes));
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

std::optional<Failure> SavePicture(const Surface& picture, const Codec& codec,
                                   const EncodeOptions& options, const std::string& path,
                                   Files& files) {
    auto encoded = codec.encode(picture, options);
    if (!encoded)
        return encoded.failure();
    errno = 0;
    if (!files.WriteAll(path, encoded.value())) {
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
