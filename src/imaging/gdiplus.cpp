#include "imaging/gdiplus.h"

#include "imaging/picture_file.h"
#include "imaging/session.h"

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

int cGdiPlus::PictureBoxToFile(PictureBox& pic, const std::string& sFileName, int lQuality) {
    const std::string ext = FileExtension(sFileName);
    const int index = patterns_.EncoderIndex("*." + ext);
    if (index < 0)
        return 0;
    const PictureRef& picture = pic.Picture();
    if (!picture) {
        Error.raise(GpStatus::InvalidParameter, "the picture box has no picture");
        return 0;
    }
    EncodeOptions options;
    // The quality goes with extensions that start with J (any case), as before.
    if (!ext.empty() && (static_cast<unsigned char>(ext[0]) & 0xDF) == 'J')
        options.quality = lQuality;
    const auto failure = SavePicture(*picture, *encoders_[static_cast<std::size_t>(index)], options,
                                     sFileName, files_);
    if (failure) {
        Error.raise(failure->status, failure->detail);
        return 0;
    }
    return -1;
}

} // namespace zembra
