#pragma once
// The size a resize gives a picture, apart from the boxes that show it: the form
// sizes its target box with it, and the look-ahead worker predicts that box's
// pixels with it without touching a control.

#include <optional>

namespace zembra {

// The resize options as the run reads them from the fields.
struct SizeRule {
    bool percentage = true;
    double percent = 100;
    bool keepAspect = true;
    double width = 0;         // target width in pixels, when not by percentage
    double height = 0;        // target height in pixels
    bool sourceBorder = true; // whether the source box has a fixed single border
    bool targetBorder = true; // whether the target box has one
};

// The outer size in twips the target box is given for a w x h pixel source, in
// single precision as the boxes keep it.
struct TwipsSize {
    float width;
    float height;
};
TwipsSize TargetTwips(const SizeRule& rule, int w, int h);

struct BoxPixels {
    int width;
    int height;
    bool operator==(const BoxPixels&) const = default;
};
// The drawable pixels of a target box given TargetTwips and then kept at least
// one pixel on each side; nullopt when the size is out of a box's range.
std::optional<BoxPixels> TargetPixels(const SizeRule& rule, int w, int h);

} // namespace zembra
