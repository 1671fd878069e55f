// What a rewritten picture loses, as the run reports it.
#include "main/dropped_parts.h"

#include "platform/files.h"

#include <gtest/gtest.h>
#include <string>

namespace zembra {
namespace {

Bytes Png(std::uint8_t depth, std::uint8_t colourType, bool withTrns) {
    Bytes png = {0x89, 'P', 'N',   'G',        '\r', '\n', 0x1A, '\n', 0, 0, 0,
                 13,   'I', 'H',   'D',        'R',  0,    0,    0,    1, 0, 0,
                 0,    1,   depth, colourType, 0,    0,    0,    0,    0, 0, 0};
    if (withTrns)
        png.insert(png.end(), {0, 0, 0, 2, 't', 'R', 'N', 'S', 0, 0, 0, 0, 0, 0});
    png.insert(png.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0, 0, 0, 0});
    // A tRNS after the image data is no part of the picture.
    png.insert(png.end(), {0, 0, 0, 2, 't', 'R', 'N', 'S', 0, 0, 0, 0, 0, 0});
    return png;
}

// A 1x1 GIF of `frames` frames.
Bytes Gif(int frames) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
    for (int i = 0; i < frames; ++i)
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0});
    gif.push_back(0x3B);
    return gif;
}

TEST(DroppedParts, FramesTransparencyAndDepthThatAFlatOutputLoses) {
    const struct {
        const char* what;
        Bytes source;
        std::string dropped;
    } cases[] = {
        {"opaque 8-bit PNG", Png(8, 2, false), ""},
        {"PNG with alpha", Png(8, 6, false), "transparency"},
        {"grey PNG with alpha", Png(8, 4, false), "transparency"},
        {"palette PNG with tRNS", Png(8, 3, true), "transparency"},
        {"16-bit PNG with alpha", Png(16, 6, false), "transparency, 16-bit depth"},
        {"one-frame GIF", Gif(1), ""},
        {"animated GIF", Gif(3), "frames 2 to 3"},
        {"not a picture", Bytes{'x', 'y'}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DroppedParts(c.source), c.dropped) << c.what;
}

} // namespace
} // namespace zembra
