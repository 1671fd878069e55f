// Resizing and converting a picture into its output file.
#include "main/dropped_parts.h"
#include "main/form1.h"
#include "main/resize_factors.h"

#include "imaging/codec.h"
#include "imaging/gdiplus.h"
#include "imaging/upright.h"
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

// What an output of `source` leaves out; only a source with frames or pages is
// read whole, since the rest shows in a file's start.
std::string DroppedFrom(const Files& files, const std::string& source) {
    constexpr std::size_t kStart = 64 * 1024;
    auto bytes = files.ReadHead(source, kStart);
    if (!bytes)
        return {};
    const Codec* codec = DecoderFor(*bytes);
    if (codec != nullptr && codec->frameCount != nullptr && bytes->size() == kStart)
        bytes = files.ReadAll(source);
    return bytes ? DroppedParts(*bytes) : std::string();
}

// An output that is to take a picture's place must decode first. A JPEG's
// markers, the only part written after the encoder, are read in full.
bool Decodes(const Files& files, const std::string& path) {
    const auto bytes = files.ReadAll(path);
    const Codec* codec = bytes ? DecoderFor(*bytes) : nullptr;
    if (codec == nullptr)
        return false;
    if (codec->decode == DecodeJpeg)
        return JpegPictureSize(*bytes).has_value();
    return static_cast<bool>(DecodePicture(*bytes));
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

SizeRule Form1::sizeRule() const {
    SizeRule rule;
    rule.percentage = Option3.Value();
    rule.percent = FieldValue(Text2);
    rule.keepAspect = Check4.Value() == 1;
    rule.width = FieldValue(Text3);
    rule.height = FieldValue(Text4);
    rule.sourceBorder = Picture1.BorderStyle() == PictureBox::vbFixedSingle;
    rule.targetBorder = Picture2.BorderStyle() == PictureBox::vbFixedSingle;
    return rule;
}

// Sizes Picture2 for a w x h pixel source as the resize options ask.
void Form1::sizeTarget(int w, int h) {
    const TwipsSize size = TargetTwips(sizeRule(), w, h);
    Picture2.setWidth(size.width);
    Picture2.setHeight(size.height);
    KeepOnePixel(Picture2);
}

// Loads the source, with its watermark when one is added, into Picture1 and
// draws it scaled into Picture2.
bool Form1::drawResized(const std::string& source, int takes) {
    uprightTurn_ = 1;
    if (Check6.Value() != 0) {
        // The run has selected this picture's entry, so this is the picture the
        // watermark is placed on, upright before the watermark goes on. A picture
        // that did not load leaves an earlier one in Picture4, which must not be
        // saved under this picture's name.
        uprightTurn_ = uprightOrientation(source);
        if (!drawWatermarked(source, uprightTurn_))
            return false;
        Picture1.setPicture(Picture4.Image());
    } else {
        cGdiPlus gdip([&](const ImagingError& e) { failed(source + ": " + e.Text()); }, files_);
        PictureRef picture = gdip.FilenameToIPicture(source);
        uprightTurn_ = picture ? uprightOrientation(source) : 1;
        if (picture && uprightTurn_ != 1)
            picture = std::make_shared<const Surface>(TurnedUpright(*picture, uprightTurn_));
        Picture1.setPicture(picture);
    }
    Picture1.Refresh();
    services_.DoEvents();
    if (!Picture1.Picture())
        return false;

    Picture1.setScaleMode(PictureBox::vbPixels);
    const int w = static_cast<int>(std::nearbyint(Picture1.ScaleWidth()));
    const int h = static_cast<int>(std::nearbyint(Picture1.ScaleHeight()));
    Picture1.setScaleMode(PictureBox::vbTwips);
    sizeTarget(w, h);
    Picture2.setAutoRedraw(true);
    Picture2.PaintPicture(Picture1.Picture(), 0, 0, Picture2.ScaleWidth(), Picture2.ScaleHeight());
    for (int i = 0; i < takes; ++i) {
        Picture2.setPicture(Picture2.Image());
        Picture2.Refresh();
    }
    services_.DoEvents();
    return true;
}

// Draws the source into the output: through the working boxes when a watermark
// needs the whole picture, else row by row from the decoder into the encoder,
// which gives the same file with a fraction of the memory and work.
bool Form1::resizeInto(const std::string& source, std::string& output, int takes, bool durable) {
    if (Check6.Value() == 0)
        return streamResized(source, output, durable);
    return drawResized(source, takes) &&
           saveResized(source, output, durable, [&](const std::string& temporary) {
               cGdiPlus gdip([&](const ImagingError& e) { failed(output + ": " + e.Text()); },
                             files_);
               gdip.KeepExif(exifForEncoder(source));
               return gdip.PictureBoxToFile(Picture2, temporary, resizeQuality()) == -1;
           });
}

int Form1::resizeQuality() const {
    int quality = static_cast<int>(std::nearbyint(FieldValue(Text5)));
    // Five less only for a JPEG source, decided for this picture alone: the
    // extension kept from an earlier picture must not lower a converted GIF or PNG.
    if (shared.SourceIsJpeg == 1)
        quality -= 5;
    return quality;
}

// Writes the output under a new temporary name beside it; only a complete file
// is moved into place, so a failed save leaves every picture as it was. A file
// that replaces or outlives a picture is made durable first. An output written
// over its own source replaces it (the source goes to the Trash); any other
// output takes a name of its own, never one that arrived meanwhile.
bool Form1::saveResized(const std::string& source, std::string& output, bool durable,
                        const std::function<bool(const std::string& temporary)>& write) {
    const std::string temporary = TemporarySibling(output);
    const bool written = write(temporary);
    bool placed = false;
    bool decodes = true;
    if (written) {
        if (const std::string dropped = DroppedFrom(files_, source); !dropped.empty())
            notice(output + ": the output leaves out " + dropped);
        // An EXIF block that cannot be kept is reported; the output still counts.
        keepExif(temporary, output);
        decodes = !durable || Decodes(files_, temporary);
        if (decodes && (!durable || files_.Flush(temporary)))
            placed = output == source ? disposed(files_.ReplaceOriginal(temporary, output), output)
                                      : files_.TakeMode(source, temporary) &&
                                            placeUnder(output, [&](const std::string& name) {
                                                return files_.Rename(temporary, name);
                                            });
    }
    if (placed) {
        services_.DoEvents();
        return true;
    }
    files_.Remove(temporary);
    if (written)
        failed(output + (decodes ? ": could not be written"
                                 : ": the output does not decode, so nothing was replaced"));
    services_.DoEvents();
    return false;
}

void Form1::resizeoriginal(const std::string& source, std::string output) {
    if (output.empty())
        output = source;
    try {
        // Replacing or removing the source: the output must be on the disk first.
        if (!resizeInto(source, output, 2, true))
            return;
        // The source goes only now that its replacement is complete.
        if (output != source && !disposed(files_.Discard(source), source))
            failed(source + ": could not be removed");
    } catch (const std::exception& e) {
        failed(source + ": " + e.what());
    }
}

void Form1::resizecopy(const std::string& source, const std::string& output) {
    try {
        std::string name = output;
        resizeInto(source, name, 1, false);
    } catch (const std::exception& e) {
        failed(source + ": " + e.what());
    }
}

} // namespace zembra
