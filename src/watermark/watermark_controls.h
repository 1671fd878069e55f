#pragma once
// The controls of the main window that the watermark procedures work on, handed
// over by the window so that this library does not depend on it.

#include "platform/controls.h"
#include "platform/picture_box.h"

namespace zembra {

struct WatermarkControls {
    PictureBox& Picture4; // the picture being processed, with its watermark
    PictureBox& Picture5; // the prepared watermark at its own size
    PictureBox& Picture6; // the stretched (and turned) watermark
    PictureBox& Picture7; // the canvas the watermark is turned onto
    PictureBox& Picture8; // the wash
    ImageControl& Image1; // the preview
    ImageControl& Image2; // carries the watermark picture while it is stretched
    ImageControl& Image3; // learns the watermark file's natural size
    Label& Label28;       // the watermark's short name, or "[Browse]"
    ComboBox& Combo5;     // alignment
    CheckBox& Check7;     // "Stretch/Shrink to Image"
};

// Alignments, the indices of Combo5.
inline constexpr int kCornerToCorner = 0;
inline constexpr int kAlignTop = 1;
inline constexpr int kAlignCenter = 2;
inline constexpr int kAlignBottom = 3;

// Label28's caption while no watermark file is chosen.
inline constexpr const char* kNoWatermark = "[Browse]";

} // namespace zembra
