// The preview pane: the selected picture fitted into a square, "prev" and "next",
// opening the picture, and the logo animation.
#include "main/form1.h"
#include "main/preview_fit.h"

#include "exif/upright_block.h"
#include "imaging/gdiplus.h"
#include "imaging/preview_picture.h"
#include "imaging/upright.h"
#include "platform/steps.h"

#include <cmath>

namespace zembra {

namespace {

// Pictures are decoded at twice the size they take at 96 dpi, enough for a larger
// font or a high-density screen; the view scales the rest smoothly.
constexpr int kPreviewPixels = 2 * static_cast<int>(kPreviewSide) / kTwipsPerPixel;

// Controls sit on whole twips; the view rounds them to its pixels.
int WholeTwips(double twips) {
    return static_cast<int>(std::nearbyint(twips));
}

constexpr const char* kLogoFrames[] = {"/kvd1.jpg", "/kvd2.jpg", "/kvd3.jpg", "/kvd.jpg"};

} // namespace

PreviewPlace FitPreview(double width, double height) {
    const double half = kPreviewSide / 2;
    if (width > height) {
        const double h = kPreviewSide * (height / width);
        return {kPreviewLeft, half - h / 2 + kPreviewTop, kPreviewSide, h};
    }
    const double w = kPreviewSide * (width / height);
    return {half - w / 2 + kPreviewLeft, kPreviewTop, w, kPreviewSide};
}

void Form1::placePreview(int pictureWidth, int pictureHeight) {
    const PreviewPlace place = FitPreview(pictureWidth, pictureHeight);
    Image1.Move(WholeTwips(place.left), WholeTwips(place.top), WholeTwips(place.width),
                WholeTwips(place.height));
}

// Selecting a picture of the list shows it, unless a run is going on and the user
// asked for no previews while processing.
void Form1::List2_Click() {
    const bool idle = Command1.Enabled(); // "Process All" is disabled during a run
    if (idle) {
        SetVisible({&Command3, &Command4, &Command5, &Command6}, true);
        Frame4.setCaption("Preview - Double Click Pic to Open");
        if (List2.ListCount() >= 2)
            SetVisible({&Command11, &Command12}, true);
        SetVisible({&Label20, &Label21, &Label9, &Label10}, true);
    }
    if (Check5.Value() == 1 || idle) {
        Image1.setVisible(true);
        Step([&] { showPreview(); });
    } else {
        Image1.setVisible(false);
    }
}

// Draws the selected picture into Image1. A picture that cannot be loaded leaves
// the preview empty.
void Form1::showPreview() {
    const int selected = List2.ListIndex();
    if (selected < 0)
        return;
    const std::string path = List3.List(selected);
    previewShows_.clear();
    if (!services_.HasDisplay())
        return; // nothing is shown, so nothing is decoded
    if (Check6.Value() != 0 && Label28.Caption() != "[Browse]") {
        showWatermarked(); // placed and fitted by the watermark's own drawing
        return;
    }
    // Let the window repaint first; a selection made meanwhile draws its own picture.
    services_.DoEvents();
    if (List2.ListIndex() != selected || List3.List(selected) != path)
        return;
    PreviewPicture preview = LoadPreviewPicture(path, kPreviewPixels, kPreviewPixels);
    // Shown upright whatever "Turn Pictures Upright" says: that is about the outputs.
    const int orientation = exif::FileOrientation(files_, path);
    preview.picture = TurnedUpright(std::move(preview.picture), orientation);
    if (orientation >= 5)
        std::swap(preview.width, preview.height);
    if (preview.picture)
        placePreview(preview.width, preview.height);
    Image1.setPicture(preview.picture);
    previewShows_ = path;
}

// The preview of the selected picture after pictures were added; a picture already
// shown is not decoded again.
void Form1::showSelectedPicture() {
    const int selected = List2.ListIndex();
    if (selected < 0)
        return;
    if (!previewShows_.empty() && previewShows_ == List3.List(selected) && Image1.Picture())
        return;
    showPreview();
}

void Form1::Command4_Click() {
    const int i = List2.ListIndex();
    List2.setListIndex(i >= 1 ? i - 1 : List2.ListCount() - 1);
    Command6.SetFocus();
}

void Form1::Command5_Click() {
    const int i = List2.ListIndex();
    List2.setListIndex(i == List2.ListCount() - 1 ? 0 : i + 1);
    Command6.SetFocus();
}

void Form1::Image1_DblClick() {
    if (!Image1.Picture() || !OpenWithDesktop)
        return;
    Step([&] { OpenWithDesktop(List3.List(List2.ListIndex())); });
}

// Four frames 100 ms apart, from the tenth tick on, played until LogoCycle reaches 2.
void Form1::Timer1_Timer() {
    Step([&] { AddOne(shared.LogoTick); });
    if (shared.LogoCycle == 2) {
        Timer1.setEnabled(false);
        return;
    }
    const int frame = shared.LogoTick - 10;
    if (frame < 0 || frame > 3)
        return;
    if (services_.HasDisplay()) {
        Step([&] {
            cGdiPlus gdip({}, files_);
            // A missing frame keeps the logo as it is.
            if (PictureRef picture = gdip.FilenameToIPicture(ProgramFolder + kLogoFrames[frame]))
                Picture3.setPicture(std::move(picture));
        });
    }
    if (frame == 3) {
        shared.LogoTick = 9;
        Step([&] { AddOne(shared.LogoCycle); });
    }
}

} // namespace zembra
