// GIF through giflib: the first frame (or a chosen one, with the frames before it
// composed as an animation shows them) with its transparency in; 8 bits with a
// palette made from the picture's own colours out.

#include "imaging/codec.h"
#include "imaging/palette_quantizer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include <gif_lib.h>

namespace zembra {

namespace {

struct Cursor {
    ByteSpan bytes;
    std::size_t pos = 0;
};

int ReadGif(GifFileType* gif, GifByteType* out, int length) {
    auto* c = static_cast<Cursor*>(gif->UserData);
    if (length <= 0)
        return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(length), c->bytes.size() - c->pos);
    std::memcpy(out, c->bytes.data() + c->pos, n);
    c->pos += n;
    return static_cast<int>(n);
}

struct CloseGif {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, CloseGif>;

Failure GifFailure(int code) {
    const char* text = GifErrorString(code);
    return Failure{GpStatus::GenericError,
                   std::string("GIF: ") + (text != nullptr ? text : "unknown error")};
}

Result<GifHandle> Open(Cursor& cursor) {
    int error = 0;
    GifHandle gif(DGifOpen(&cursor, ReadGif, &error));
    if (!gif)
        return GifFailure(error);
    return gif;
}

// Reads past the data of an image that is not drawn.
bool SkipImage(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
        return false;
    while (block != nullptr)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

// Reads an extension; keeps the graphics control block, which applies to the next image.
bool ReadExtension(GifFileType* gif, GraphicsControlBlock& gcb) {
    int code = 0;
    GifByteType* ext = nullptr;
    if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && ext != nullptr && ext[0] >= 4)
        DGifExtensionToGCB(ext[0], ext + 1, &gcb);
    while (ext != nullptr)
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
            return false;
    return true;
}

struct Rect {
    std::int64_t left, top, width, height;
};

// Draws one frame's rows onto the canvas; transparent pixels leave it as it is.
// Interlaced frames store rows in four passes.
bool DrawFrame(GifFileType* gif, Surface& canvas, const ColorMapObject& colors, int transparent,
               std::vector<std::uint8_t>* indices) {
    const GifImageDesc& d = gif->Image;
    std::vector<GifPixelType> line(static_cast<std::size_t>(d.Width));
    const auto drawRow = [&](int row) {
        const std::int64_t y = std::int64_t{d.Top} + row;
        if (y < 0 || y >= canvas.Height())
            return;
        auto out = canvas.Row(static_cast<int>(y));
        for (int i = 0; i < d.Width; ++i) {
            const std::int64_t x = std::int64_t{d.Left} + i;
            if (x < 0 || x >= canvas.Width())
                continue;
            const int index = line[static_cast<std::size_t>(i)];
            if (indices != nullptr)
                (*indices)[static_cast<std::size_t>(y) * canvas.Stride() +
                           static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(index);
            if (index == transparent)
                continue;
            // An index past the colour table shows black.
            std::uint32_t p = 0xFF000000u;
            if (index < colors.ColorCount) {
                const auto& c = colors.Colors[index];
                p |= (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
            }
            out[static_cast<std::size_t>(x)] = p;
        }
    };
    if (d.Interlace) {
        constexpr int kStart[] = {0, 4, 2, 1};
        constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = kStart[pass]; row < d.Height; row += kStep[pass]) {
                if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR)
                    return false;
                drawRow(row);
            }
        return true;
    }
    for (int row = 0; row < d.Height; ++row) {
        if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR)
            return false;
        drawRow(row);
    }
    return true;
}

void ClearRect(Surface& canvas, const Rect& r) {
    for (std::int64_t y = std::max<std::int64_t>(0, r.top);
         y < std::min<std::int64_t>(canvas.Height(), r.top + r.height); ++y) {
        auto row = canvas.Row(static_cast<int>(y));
        for (std::int64_t x = std::max<std::int64_t>(0, r.left);
             x < std::min<std::int64_t>(canvas.Width(), r.left + r.width); ++x)
            row[static_cast<std::size_t>(x)] = 0;
    }
}

int WriteGif(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

} // namespace

Result<GpBitmap> DecodeGif(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    Cursor cursor{bytes};
    auto opened = Open(cursor);
    if (!opened)
        return opened.failure();
    GifFileType* gif = opened.value().get();

    std::optional<GpBitmap> bitmap;
    std::optional<Surface> saved; // the canvas before a frame that restores it
    std::vector<std::uint8_t> indices;
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    int disposal = DISPOSAL_UNSPECIFIED;
    Rect previous{0, 0, 0, 0};
    bool coversCanvas = false;
    for (int index = 0; index <= frame;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return GifFailure(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            return Failure{GpStatus::GenericError,
                           index == 0 ? "GIF: no picture in the file" : "GIF: no such frame"};
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif, gcb))
                return GifFailure(gif->Error);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            return GifFailure(gif->Error);
        const GifImageDesc& d = gif->Image;
        if (!bitmap) {
            // The logical screen is the picture's size; a zero screen takes the frame's.
            std::int64_t w = gif->SWidth, h = gif->SHeight;
            if (w <= 0 || h <= 0) {
                w = std::int64_t{d.Left} + d.Width;
                h = std::int64_t{d.Top} + d.Height;
            }
            auto pixels = AllocatePixels(w, h, limits);
            if (!pixels)
                return pixels.failure();
            bitmap.emplace(std::move(pixels.value()));
            std::fill(bitmap->pixels.Pixels().begin(), bitmap->pixels.Pixels().end(), 0u);
        }
        Surface& canvas = bitmap->pixels;
        // The frame's area bounds the work a small file can ask for.
        if (d.Width < 0 || d.Height < 0 ||
            (d.Height > 0 && std::int64_t{d.Width} > limits.maxPixels / d.Height))
            return Failure{GpStatus::OutOfMemory, "GIF: a frame is too large"};
        const ColorMapObject* colors = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
        if (colors == nullptr)
            return Failure{GpStatus::GenericError, "GIF: a frame without a colour table"};

        // Undo the previous frame as its disposal asks before drawing the next.
        if (disposal == DISPOSE_BACKGROUND)
            ClearRect(canvas, previous);
        else if (disposal == DISPOSE_PREVIOUS && saved)
            canvas = *saved;
        if (gcb.DisposalMode == DISPOSE_PREVIOUS && index < frame)
            saved = canvas;

        const Rect area{d.Left, d.Top, d.Width, d.Height};
        if (d.Width == 0 || d.Height == 0) {
            // Nothing to draw, but its data still stands between us and the next record.
            if (!SkipImage(gif))
                return GifFailure(gif->Error);
            disposal = gcb.DisposalMode;
            previous = area;
            gcb = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
            ++index;
            continue;
        }
        const bool first = index == 0 && frame == 0;
        coversCanvas = first && area.left <= 0 && area.top <= 0 &&
                       area.left + area.width >= canvas.Width() &&
                       area.top + area.height >= canvas.Height();
        if (coversCanvas)
            indices.assign(canvas.Pixels().size(), 0);
        if (!DrawFrame(gif, canvas, *colors, gcb.TransparentColor,
                       coversCanvas ? &indices : nullptr))
            return GifFailure(gif->Error);
        if (index == frame && coversCanvas) {
            IndexedPixels indexed;
            for (int i = 0; i < colors->ColorCount; ++i) {
                const auto& c = colors->Colors[i];
                const std::uint32_t a = i == gcb.TransparentColor ? 0 : 0xFFu;
                indexed.palette.push_back((a << 24) | (std::uint32_t{c.Red} << 16) |
                                          (std::uint32_t{c.Green} << 8) | c.Blue);
            }
            indexed.indices = std::move(indices);
            bitmap->indexed = std::move(indexed);
        }
        disposal = gcb.DisposalMode;
        previous = area;
        gcb = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        ++index;
    }
    bitmap->hasAlpha = std::any_of(bitmap->pixels.Pixels().begin(), bitmap->pixels.Pixels().end(),
                                   [](std::uint32_t p) { return (p >> 24) != 0xFF; });
    bitmap->pixelFormat = PixelFormat8bppIndexed;
    return std::move(*bitmap);
}

int GifFrameCount(ByteSpan bytes) {
    Cursor cursor{bytes};
    auto opened = Open(cursor);
    if (!opened)
        return 0;
    GifFileType* gif = opened.value().get();
    int count = 0;
    GraphicsControlBlock gcb{};
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR || type == TERMINATE_RECORD_TYPE)
            return count;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif, gcb))
                return count;
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR || !SkipImage(gif))
                return count;
            ++count;
        }
    }
}

Result<Bytes> EncodeGif(const Surface& picture, const EncodeOptions&) {
    if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF)
        return Failure{GpStatus::ValueOverflow, "GIF pictures are at most 65535 pixels across"};
    QuantizedPicture q = Quantize(picture);
    int bits = 1;
    while ((1u << bits) < q.palette.size())
        ++bits;
    std::vector<GifColorType> colors(std::size_t{1} << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < q.palette.size(); ++i)
        colors[i] = GifColorType{static_cast<GifByteType>(q.palette[i] >> 16),
                                 static_cast<GifByteType>(q.palette[i] >> 8),
                                 static_cast<GifByteType>(q.palette[i])};
    std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(
        GifMakeMapObject(static_cast<int>(colors.size()), colors.data()), GifFreeMapObject);
    if (!map)
        return Failure{GpStatus::OutOfMemory, "GIF: no memory for the colour table"};

    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteGif, &error);
    if (gif == nullptr)
        return GifFailure(error);
    bool ok =
        EGifPutScreenDesc(gif, picture.Width(), picture.Height(), bits, 0, map.get()) !=
            GIF_ERROR &&
        EGifPutImageDesc(gif, 0, 0, picture.Width(), picture.Height(), false, nullptr) != GIF_ERROR;
    for (int y = 0; ok && y < picture.Height(); ++y) {
        auto* row = q.indices.data() + static_cast<std::size_t>(y) * picture.Stride();
        ok = EGifPutLine(gif, row, picture.Width()) != GIF_ERROR;
    }
    if (!ok)
        error = gif->Error;
    // Closing writes the trailer and frees the handle whatever happened before.
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) == GIF_ERROR && ok) {
        ok = false;
        error = closeError;
    }
    if (!ok)
        return GifFailure(error);
    return out;
}

} // namespace zembra
