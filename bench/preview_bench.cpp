// Times the preview pane's load of picture files against a whole decode shrunk to
// the same box, which is how HEIC, AVIF and WebP previews were made before their
// libraries' thumbnails and scaled decoding were used.
//   preview_bench [--box N] FILE...   (box default 306, the pane's; 5 runs each)
#include "imaging/codec.h"
#include "imaging/picture_file.h"
#include "imaging/preview_picture.h"
#include "platform/resample.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <class F> double MedianMs(F&& load) {
    using Clock = std::chrono::steady_clock;
    double runs[5];
    for (double& ms : runs) {
        const auto start = Clock::now();
        load();
        ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    std::sort(std::begin(runs), std::end(runs));
    return runs[2];
}

} // namespace

int main(int argc, char** argv) {
    using namespace zembra;
    int box = 306;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--box" && i + 1 < argc) {
            box = std::atoi(argv[++i]);
            continue;
        }
        int shownWidth = 0, shownHeight = 0;
        const double reduced = MedianMs([&] {
            const PreviewPicture p = LoadPreviewPicture(arg, box, box);
            shownWidth = p.picture ? p.picture->Width() : 0;
            shownHeight = p.picture ? p.picture->Height() : 0;
        });
        const double whole = MedianMs([&] {
            auto decoded = LoadPictureFile(arg);
            if (decoded && shownWidth > 0)
                (void)Resample(decoded.value().pixels, shownWidth, shownHeight);
        });
        std::printf("%s: preview %dx%d in %.1f ms; whole decode shrunk %.1f ms (%.1fx)\n",
                    arg.c_str(), shownWidth, shownHeight, reduced, whole, whole / reduced);
    }
    return 0;
}
