// The watermark panel: choosing the watermark file, its alignment, stretch and
// transparency, each change shown at once in the preview; and the two procedures
// that draw the watermark, which the run, the preview and the settings share.
#include "main/form1.h"

#include "imaging/gdiplus.h"
#include "platform/steps.h"
#include "platform/text.h"
#include "watermark/picture_drawing.h"
#include "watermark/placement.h"
#include "watermark/transparency.h"

namespace zembra {

namespace {

constexpr long kWatermarkDialogFlags = 0x81004; // explorer style, must exist, no read-only box
constexpr const char* kWatermarkFilter =
    "Images Files (*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff)|"
    "*.jpeg;*.jpg;*.gif;*.png;*.bmp;*.tif;*.tiff";

WatermarkControls ControlsOf(Form1& f) {
    return {f.Picture4, f.Picture5, f.Picture6, f.Picture7, f.Picture8, f.Image1,
            f.Image2,   f.Image3,   f.Label28,  f.Combo5,   f.Check7};
}

// The name shown for a chosen watermark file: long names keep their end.
std::string ShortWatermarkName(const std::string& path) {
    return Shortened(FileNamePart(path), 15, 12);
}

} // namespace

void Form1::setUpWatermark() {
    for (PictureBox* box : {&Picture4, &Picture5, &Picture6, &Picture7, &Picture8}) {
        box->setVisible(false);
        box->setAutoRedraw(true);
        // Inner and outer sizes agree, so the stretch ratios are the pictures' own.
        box->setBorderStyle(PictureBox::vbBSNone);
        box->setScaleMode(PictureBox::vbPixels);
    }
    Picture4.setAutoSize(true);
    Picture6.setAutoSize(true);
    Picture5.setBackColor(0);
    Picture8.setBackColor(0);
    SetVisible({&Image2, &Image3}, false);

    Check6.onClick = [this] { Check6_Click(); };
    Check7.onClick = [this] { Check7_Click(); };
    Combo5.onClick = [this] { Combo5_Click(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    Command14.onClick = [this] { Command14_Click(); };
}

std::string Form1::currentPicture() const {
    const int i = List2.ListIndex();
    return i >= 0 && i < List3.ListCount() ? List3.List(i) : std::string();
}

void Form1::placewatermark() {
    PlaceWatermark(ControlsOf(*this), currentPicture(), services_);
}

bool Form1::drawWatermarked(const std::string& picture, int orientation) {
    return PlaceWatermark(
        ControlsOf(*this), picture, services_,
        [&](const ImagingError& e) { failed(picture + ": " + e.Text()); }, orientation);
}

void Form1::settrans() {
    PrepareWatermark(ControlsOf(*this), shared.WatermarkFile, HScroll1.Value(), services_);
}

bool Form1::watermarkReady() const {
    return Check6.Value() != 0 && List2.ListCount() > 0 && Label28.Caption() != kNoWatermark;
}

// The preview of the current picture with its watermark; hosts without a display
// have no preview to show, and the run draws the watermark afresh for each picture.
void Form1::showWatermarked() {
    if (!services_.HasDisplay())
        return;
    Step([&] { placewatermark(); });
    Step([&] { Image1.setPicture(Picture4.Image()); });
}

void Form1::Check6_Click() {
    if (watermarkReady()) {
        showWatermarked();
    } else if (List2.ListCount() > 0 && services_.HasDisplay()) {
        // The plain picture, drawn as the watermark would be drawn onto it.
        Step([&] { DrawPictureFitted(Picture6, Image1, currentPicture()); });
        Step([&] { Image1.setPicture(Picture6.Image()); });
    }
    if (Check6.Value() != 0) {
        SetEnabled({&Label28, &Label30, &HScroll1, &Combo5}, true);
        if (Combo5.ListIndex() != kCornerToCorner)
            Check7.setEnabled(true);
        SetEnabled({&Label29, &Command14}, true);
    } else {
        SetEnabled({&Label28, &Label30, &HScroll1, &Combo5, &Check7, &Label29, &Command14}, false);
    }
}

void Form1::Check7_Click() {
    if (watermarkReady())
        showWatermarked();
}

void Form1::Combo5_Click() {
    // "Corner to Corner" always stretches.
    Check7.setEnabled(Combo5.ListIndex() != kCornerToCorner && Check6.Value() != 0);
    if (watermarkReady()) {
        showWatermarked();
    } else if (services_.HasDisplay()) {
        Step([&] {
            cGdiPlus gdip({}, files_);
            Image1.setPicture(gdip.FilenameToIPicture(currentPicture()));
        });
    }
}

void Form1::HScroll1_Change() {
    if (const auto caption = TransparencyCaption(HScroll1.Value()))
        Label30.setCaption(*caption);
    // Both steps below let messages through; the slider must not move meanwhile.
    HScroll1.setEnabled(false);
    if (watermarkReady()) {
        settrans();
        services_.DoEvents();
        showWatermarked();
    }
    HScroll1.setEnabled(true);
}

void Form1::Command14_Click() {
    Step([&] { Command1.setEnabled(true); });
    OpenFileRequest request;
    request.flags = kWatermarkDialogFlags;
    request.filter = kWatermarkFilter;
    request.cancelError = true;
    std::string chosen;
    Step([&] { chosen = services_.ShowOpen(request); });
    const std::string name = ShortWatermarkName(chosen);
    if (name.empty())
        return; // cancelled: the panel stays as it was
    Step([&] { Picture5.setPicture(nullptr); });
    shared.WatermarkFile = chosen;
    Label28.setCaption(name);
    // A new file is used as it is, without a wash, until the slider moves.
    LoadWatermark(ControlsOf(*this), shared.WatermarkFile);
    Step([&] {
        Picture5.Refresh();
        Image3.setPicture(nullptr);
    });
    if (Check6.Value() != 0 && services_.HasDisplay()) {
        Step([&] { placewatermark(); });
        if (List2.ListCount() > 0)
            Step([&] { Image1.setPicture(Picture4.Image()); });
    }
}

} // namespace zembra
