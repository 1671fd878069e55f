#pragma once
// Where the preview sits: a picture fitted into the 2300-twip square at (600, 285)
// of the preview frame, its shape kept, centred across its shorter side.

namespace zembra {

struct PreviewPlace {
    double left, top, width, height; // twips, relative to the preview frame
};

inline constexpr double kPreviewSide = 2300;
inline constexpr double kPreviewLeft = 600;
inline constexpr double kPreviewTop = 285;

// A picture of width x height pixels (both above 0). A square picture fills the
// square.
PreviewPlace FitPreview(double width, double height);

} // namespace zembra
