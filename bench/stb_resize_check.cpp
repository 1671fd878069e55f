// Times Zembra's resampler against stb_image_resize (libstb-dev) on raw RGBA
// pixels and writes both results for a PSNR check against ImageMagick's Lanczos:
//   convert photo.jpg -depth 8 rgba:in.rgba
//   bench/stb_resize_check in.rgba W H percent   (writes zembra.rgba, stb.rgba)
// Build: g++ -O2 -std=c++20 -Isrc bench/stb_resize_check.cpp \
//          out/release/src/platform/libzembra_platform.a -o /tmp/stb_resize_check
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include "platform/resample.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]), percent = std::atoi(argv[4]);
    const int tw = (w * percent + 50) / 100, th = (h * percent + 50) / 100;
    std::vector<unsigned char> in(static_cast<std::size_t>(w) * h * 4);
    std::ifstream(argv[1], std::ios::binary).read(reinterpret_cast<char*>(in.data()), in.size());
    auto surface = *zembra::Surface::Create(w, h);
    std::memcpy(surface.Pixels().data(), in.data(), in.size());
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    const zembra::Surface ours = zembra::Resample(surface, tw, th);
    auto t1 = Clock::now();
    std::vector<unsigned char> stb(static_cast<std::size_t>(tw) * th * 4);
    stbir_resize_uint8_generic(in.data(), w, h, 0, stb.data(), tw, th, 0, 4, 3, 0, STBIR_EDGE_CLAMP,
                               STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr);
    auto t2 = Clock::now();
    std::ofstream("zembra.rgba", std::ios::binary)
        .write(reinterpret_cast<const char*>(ours.Pixels().data()), stb.size());
    std::ofstream("stb.rgba", std::ios::binary)
        .write(reinterpret_cast<const char*>(stb.data()), stb.size());
    std::printf("%dx%d zembra %.1f ms, stb %.1f ms\n", tw, th,
                std::chrono::duration<double, std::milli>(t1 - t0).count(),
                std::chrono::duration<double, std::milli>(t2 - t1).count());
}
