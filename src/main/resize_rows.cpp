// Resizing without a watermark: the source's rows go from the decoder through the
// stretch into the encoder, so neither the whole source nor the whole target is
// ever held. The working boxes are left empty; the file is the same as the one
// drawResized would draw and save. When the look-ahead has already made exactly
// that file, it is only moved into place.
#include "main/form1.h"
#include "main/lookahead.h"
#include "main/picture_naming.h"

#include "imaging/gdiplus.h"
#include "platform/steps.h"
#include "platform/text.h"

namespace zembra {

bool Form1::streamResized(const std::string& source, std::string& output, bool durable) {
    if (Lookahead) {
        if (auto ahead = Lookahead->Take(shared.CurrentIndex, source)) {
            Picture1.setPicture(nullptr);
            Picture2.setPicture(nullptr);
            services_.DoEvents();
            sizeTarget(ahead->SourceWidth, ahead->SourceHeight);
            // The worker's guess is used only when it is what this picture asks for.
            const bool same =
                ahead->Target == BoxPixels{Picture2.PixelWidth(), Picture2.PixelHeight()} &&
                ahead->Quality == resizeQuality() &&
                UCase(ahead->Extension) == UCase(ExtensionOf(output));
            bool moved = false;
            const bool saved =
                same && saveResized(source, output, durable, [&](const std::string& temporary) {
                    moved = files_.Rename(ahead->Path(), temporary);
                    if (moved)
                        ahead->Release();
                    return moved;
                });
            // A file that could not be moved is made again below, as if never made.
            if (moved)
                return saved;
        }
    }
    std::unique_ptr<DecodedRows> rows;
    // A damaged source shows only while its rows are read, and is still the
    // source's failure.
    const auto report = [&](const ImagingError& e) {
        const bool fromSource = !rows || rows->failure();
        failed((fromSource ? source : output) + ": " + e.Text());
    };
    {
        cGdiPlus gdip(report, files_);
        rows = gdip.FilenameToRows(source);
    }
    Picture1.setPicture(nullptr);
    Picture2.setPicture(nullptr);
    services_.DoEvents();
    if (!rows)
        return false;

    sizeTarget(rows->Width(), rows->Height());
    return saveResized(source, output, durable, [&](const std::string& temporary) {
        cGdiPlus gdip(report, files_);
        return gdip.RowsToFile(*rows, Picture2.PixelWidth(), Picture2.PixelHeight(), temporary,
                               resizeQuality()) == -1;
    });
}

} // namespace zembra
