#include "imaging/gdiplus.h"

#include "imaging/gp_bitmap.h"
#include "imaging/picture_file.h"
#include "imaging/session.h"
#include "platform/resample.h"
#include "platform/stop_request.h"
#include "platform/stretched_rows.h"
#include "platform/text.h"

namespace zembra {

cGdiPlus::cGdiPlus(ErrorEvent::Listener onError, Files& files) : files_(files) {
    if (onError)
        Error.subscribe(std::move(onError));
    const GpStatus status = GdiplusStartup(sessionToken_, GdiplusStartupInput{});
    if (status != GpStatus::Ok) {
        // Without a session the table stays empty and every save finds no encoder.
        Error.raise(status);
        return;
    }
    BuildEncoderTable();
}

cGdiPlus::~cGdiPlus() {
    if (sessionToken_ != 0)
        GdiplusShutdown(sessionToken_);
}

void cGdiPlus::BuildEncoderTable() {
    const auto codecs = Codecs();
    encoders_.assign(codecs.size(), nullptr);
    patterns_.Clear();
    for (int i = static_cast<int>(codecs.size()) - 1; i >= 0; --i) {
        encoders_[static_cast<std::size_t>(i)] = &codecs[static_cast<std::size_t>(i)];
        if (codecs[static_cast<std::size_t>(i)].encode != nullptr) // HEIF is only read
            patterns_.AddEncoderPatterns(codecs[static_cast<std::size_t>(i)].patterns, ";", i);
    }
}

PictureRef cGdiPlus::FilenameToIPicture(const std::string& sFileName) {
    auto loaded = LoadPictureFile(sFileName);
    if (!loaded) {
        Error.raise(loaded.failure().status, loaded.failure().detail);
        return nullptr;
    }
    // Background 0: transparent parts become black.
    return MakePicture(std::move(loaded.value()), 0);
}

const Codec* cGdiPlus::EncoderFor(const std::string& sFileName, int lQuality,
                                  EncodeOptions& options) const {
    const std::string ext = FileExtension(sFileName);
    const int index = patterns_.EncoderIndex("*." + ext);
    if (index < 0)
        return nullptr;
    // The quality goes with extensions that start with J (any case), as before,
    // and with the other lossy formats.
    const std::string upper = UCase(ext);
    if (!ext.empty() && (upper[0] == 'J' || upper == "WEBP" || upper == "AVIF"))
        options.quality = lQuality;
    options.exif = exif_;
    return encoders_[static_cast<std::size_t>(index)];
}

int cGdiPlus::PictureBoxToFile(PictureBox& pic, const std::string& sFileName, int lQuality) {
    EncodeOptions options;
    const Codec* encoder = EncoderFor(sFileName, lQuality, options);
    if (encoder == nullptr)
        return 0;
    const PictureRef& picture = pic.Picture();
    if (!picture) {
        Error.raise(GpStatus::InvalidParameter, "the picture box has no picture");
        return 0;
    }
    const auto failure = SavePicture(*picture, *encoder, options, sFileName, files_);
    if (failure) {
        Error.raise(failure->status, failure->detail);
        return 0;
    }
    return -1;
}

std::unique_ptr<DecodedRows> cGdiPlus::FilenameToRows(const std::string& sFileName) {
    // Background 0: transparent parts become black.
    auto opened = OpenPictureRows(sFileName, 0);
    if (!opened) {
        Error.raise(opened.failure().status, opened.failure().detail);
        return nullptr;
    }
    return std::move(opened.value());
}

int cGdiPlus::RowsToFile(DecodedRows& rows, int width, int height, const std::string& sFileName,
                         int lQuality) {
    EncodeOptions options;
    const Codec* encoder = EncoderFor(sFileName, lQuality, options);
    if (encoder == nullptr)
        return 0;
    if (width <= 0 || height <= 0) {
        Error.raise(GpStatus::InvalidParameter, "the picture box has no picture");
        return 0;
    }
    // Refused before any row is made: such a picture could not be read back either.
    if (const std::int64_t most = DecodeLimits{}.maxPixels; std::int64_t{width} * height > most) {
        Error.raise(GpStatus::ValueOverflow, "the output would be " + std::to_string(width) +
                                                 " x " + std::to_string(height) +
                                                 " pixels; a picture may have at most " +
                                                 std::to_string(most));
        return 0;
    }
    // Shrink while decoding where the format can, leaving the filter the rest.
    rows.ReduceTo(ShrinkOnLoadSide(width), ShrinkOnLoadSide(height));
    // A stop request ends the row loop within a row, on either side of the stretch.
    StoppableRows source(rows);
    StretchedRows stretched(source, width, height);
    StoppableRows target(stretched);
    auto encoded = EncodeRows(*encoder, target, options);
    if (encoded)
        stretched.Finish();
    if (StopRequested(rowLoopsStopAt)) {
        Error.raise(GpStatus::Aborted, "stopped before the picture was finished");
        return 0;
    }
    if (const auto damaged = rows.failure()) {
        Error.raise(damaged->status, damaged->detail);
        return 0;
    }
    if (!encoded) {
        Error.raise(encoded.failure().status, encoded.failure().detail);
        return 0;
    }
    if (const auto failure = WritePicture(encoded.value(), sFileName, files_)) {
        Error.raise(failure->status, failure->detail);
        return 0;
    }
    return -1;
}

} // namespace zembra
