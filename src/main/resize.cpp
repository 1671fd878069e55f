// Resizing and converting a picture into its output file.
#include "main/form1.h"
#include "main/resize_factors.h"

#include "imaging/gdiplus.h"
#include "platform/steps.h"
#include "platform/text.h"

#include <cmath>

namespace zembra {

namespace {

double FieldValue(const TextBox& field) {
    return NumericValue(field.Text());
}

// A side that rounds to no pixel at all keeps one, so a tiny picture at a small
// percentage is still written rather than lost to an empty box.
void KeepOnePixel(PictureBox& box) {
    const int border =
        box.BorderStyle() == PictureBox::vbFixedSingle ? 2 * PictureBox::kBorderPixels : 0;
    const double least = (border + 1) * kTwipsPerPixel;
    if (box.PixelWidth() < 1)
        box.setWidth(least);
    if (box.PixelHeight() < 1)
        box.setHeight(least);
}

} // namespace

ScaleFactors ResizeFactors(bool percentage, double percent, bool keepAspect, double width,
                           double height, int pictureWidth, int pictureHeight) {
    if (percentage)
        return {percent, percent};
    const double fW = width / pictureWidth * 100;
    const double fH = height / pictureHeight * 100;
    if (!keepAspect)
        return {fW, fH};
    // The long side decides; a square picture goes by the height.
    return pictureWidth > pictureHeight ? ScaleFactors{fW, fW} : ScaleFactors{fH, fH};
}

// Loads the source, with its watermark when one is added, into Picture1 and
// draws it scaled into Picture2.
bool Form1::drawResized(const std::string& source, int takes) {
    if (Check6.Value() != 0) {
        // The run has selected this picture's entry, so this is the picture the
        // watermark is placed on. A picture that did not load leaves an earlier one
        // in Picture4, which must not be saved under this picture's name.
        if (!drawWatermarked(source))
            return false;
        Picture1.setPicture(Picture4.Image());
    } else {
        cGdiPlus gdip([&](const ImagingError& e) { failed(source + ": " + e.Text()); }, files_);
        Picture1.setPicture(gdip.FilenameToIPicture(source));
    }
    Picture1.Refresh();
    services_.DoEvents();
    if (!Picture1.Picture())
        return false;

    Picture1.setScaleMode(PictureBox::vbTwips);
    const double border = Picture1.Width() - Picture1.ScaleWidth();
    Picture1.setScaleMode(PictureBox::vbPixels);
    const int w = static_cast<int>(std::nearbyint(Picture1.ScaleWidth()));
    const int h = static_cast<int>(std::nearbyint(Picture1.ScaleHeight()));
    Picture1.setScaleMode(PictureBox::vbTwips);
    const ScaleFactors f = ResizeFactors(Option3.Value(), FieldValue(Text2), Check4.Value() == 1,
                                         FieldValue(Text3), FieldValue(Text4), w, h);

    // Sizes are single precision twips, as the boxes keep them.
    const float outerW = static_cast<float>((Picture1.Width() - border) * f.width / 100 + border);
    const float outerH = static_cast<float>((Picture1.Height() - border) * f.height / 100 + border);
    Picture2.setWidth(outerW);
    Picture2.setHeight(outerH);
    KeepOnePixel(Picture2);
    Picture2.setAutoRedraw(true);
    Picture2.PaintPicture(Picture1.Picture(), 0, 0, Picture2.ScaleWidth(), Picture2.ScaleHeight());
    for (int i = 0; i < takes; ++i) {
        Picture2.setPicture(Picture2.Image());
        Picture2.Refresh();
    }
    services_.DoEvents();
    return true;
}

int Form1::resizeQuality() const {
    int quality = static_cast<int>(std::nearbyint(FieldValue(Text5)));
    // Five less only for a JPEG source, decided for this picture alone: the
    // extension kept from an earlier picture must not lower a converted GIF or PNG.
    if (shared.SourceIsJpeg == 1)
        quality -= 5;
    return quality;
}

// Writes Picture2 under a temporary name beside the output; only a complete
// file is moved into place, so a failed save leaves every picture as it was.
bool Form1::saveResized(const std::string& output) {
    const std::string temporary = TemporarySibling(output);
    bool written = false;
    {
        cGdiPlus gdip([&](const ImagingError& e) { failed(output + ": " + e.Text()); }, files_);
        written = gdip.PictureBoxToFile(Picture2, temporary, resizeQuality()) == -1;
    }
    if (written && files_.Replace(temporary, output)) {
        services_.DoEvents();
        return true;
    }
    files_.Remove(temporary);
    if (written)
        failed(output + ": could not be written");
    services_.DoEvents();
    return false;
}

void Form1::resizeoriginal(const std::string& source, std::string output) {
    if (output.empty())
        output = source;
    try {
        if (!drawResized(source, 2) || !saveResized(output))
            return;
        // The source goes only now that its replacement is complete.
        if (output != source && !files_.Remove(source))
            failed(source + ": could not be removed");
    } catch (const std::exception& e) {
        failed(source + ": " + e.what());
    }
}

void Form1::resizecopy(const std::string& source, const std::string& output) {
    try {
        if (drawResized(source, 1))
            saveResized(output);
    } catch (const std::exception& e) {
        failed(source + ": " + e.what());
    }
}

} // namespace zembra
