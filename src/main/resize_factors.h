#pragma once
// The scale factors of a resize, in percent of the picture's size.

namespace zembra {

struct ScaleFactors {
    double width;
    double height;
};

// percentage: the "Percentage" mode with its value; otherwise the target width
// and height in pixels, with or without keeping the aspect ratio.
ScaleFactors ResizeFactors(bool percentage, double percent, bool keepAspect, double width,
                           double height, int pictureWidth, int pictureHeight);

} // namespace zembra
