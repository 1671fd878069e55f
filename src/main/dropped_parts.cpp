#include "main/dropped_parts.h"

#include "imaging/codec.h"

#include <cstring>

namespace zembra {

namespace {

std::uint32_t BigEndian32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct PngTraits {
    bool alpha = false;
    bool deep = false;
};

// The IHDR's depth and colour type, and a tRNS chunk before the image data.
PngTraits ReadPngTraits(std::span<const std::uint8_t> png) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngTraits traits;
    if (png.size() < 33 || std::memcmp(png.data(), kSignature, 8) != 0 ||
        std::memcmp(png.data() + 12, "IHDR", 4) != 0)
        return traits;
    const std::uint8_t depth = png[24];
    const std::uint8_t colourType = png[25];
    traits.deep = depth == 16;
    traits.alpha = colourType == 4 || colourType == 6;
    for (std::size_t at = 8; !traits.alpha && at + 8 <= png.size();) {
        const std::uint32_t length = BigEndian32(png, at);
        const auto* type = png.data() + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            break;
        traits.alpha = std::memcmp(type, "tRNS", 4) == 0;
        if (length > png.size() - at - 8)
            break;
        at += 12 + std::size_t{length};
    }
    return traits;
}

void Add(std::string& list, const std::string& part) {
    list += (list.empty() ? "" : ", ") + part;
}

} // namespace

std::string DroppedParts(std::span<const std::uint8_t> source) {
    std::string dropped;
    const Codec* codec = DecoderFor(source);
    if (codec != nullptr && codec->frameCount != nullptr) {
        const int count = codec->frameCount(source);
        const char* what = codec->decode == DecodeTiff ? "pages" : "frames";
        if (count > 1)
            Add(dropped, std::string(what) + " 2 to " + std::to_string(count));
    }
    const PngTraits png = ReadPngTraits(source);
    if (png.alpha)
        Add(dropped, "transparency");
    if (png.deep)
        Add(dropped, "16-bit depth");
    return dropped;
}

} // namespace zembra
