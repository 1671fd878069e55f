#include "main/target_size.h"

#include "main/resize_factors.h"
#include "platform/control.h"
#include "platform/picture_box.h"

#include <algorithm>
#include <cmath>

namespace zembra {

TwipsSize TargetTwips(const SizeRule& rule, int w, int h) {
    const double border =
        rule.sourceBorder ? 2.0 * PictureBox::kBorderPixels * kTwipsPerPixel : 0.0;
    const ScaleFactors f = ResizeFactors(rule.percentage, rule.percent, rule.keepAspect, rule.width,
                                         rule.height, w, h);
    const double innerW = double(w) * kTwipsPerPixel;
    const double innerH = double(h) * kTwipsPerPixel;
    return {static_cast<float>(innerW * f.width / 100 + border),
            static_cast<float>(innerH * f.height / 100 + border)};
}

namespace {

// A box's drawable side for an outer side set in twips: the box rounds to whole
// pixels, loses its border, and keeps one pixel when nothing would be left.
std::optional<int> DrawableSide(float twips, bool border) {
    const double outer = std::nearbyint(double(twips) / kTwipsPerPixel);
    // Past this the box's own twips would overflow; leave such sizes to the box.
    if (!(outer >= -1e9 && outer <= 1e8))
        return std::nullopt;
    const int inner =
        std::max(0, static_cast<int>(outer)) - (border ? 2 * PictureBox::kBorderPixels : 0);
    return std::max(1, inner);
}

} // namespace

std::optional<BoxPixels> TargetPixels(const SizeRule& rule, int w, int h) {
    const TwipsSize twips = TargetTwips(rule, w, h);
    const auto width = DrawableSide(twips.width, rule.targetBorder);
    const auto height = DrawableSide(twips.height, rule.targetBorder);
    if (!width || !height)
        return std::nullopt;
    return BoxPixels{*width, *height};
}

} // namespace zembra
