// Resizing without a watermark: the source's rows go from the decoder through the
// stretch into the encoder, so neither the whole source nor the whole target is
// ever held. The working boxes are left empty; the file is the same as the one
// drawResized would draw and save.
#include "main/form1.h"

#include "imaging/gdiplus.h"
#include "platform/steps.h"

namespace zembra {

bool Form1::streamResized(const std::string& source, const std::string& output, bool durable) {
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
    return saveResized(output, durable, [&](const std::string& temporary) {
        cGdiPlus gdip(report, files_);
        return gdip.RowsToFile(*rows, Picture2.PixelWidth(), Picture2.PixelHeight(), temporary,
                               resizeQuality()) == -1;
    });
}

} // namespace zembra
