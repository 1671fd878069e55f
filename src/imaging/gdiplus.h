#pragma once
// cGdiPlus: loads picture files into picture objects and saves a picture box's
// picture to a file whose extension chooses the encoder. Each object holds its own
// session and its own table of encoder patterns; handlers make one per step.
//
// Failures raise Error with a status and its text and give the failure result
// (no picture, 0). The batch runner prints them; the windows do not listen.

#include "imaging/codec.h"
#include "imaging/encoder_table.h"
#include "imaging/status.h"
#include "platform/files.h"
#include "platform/picture_box.h"
#include "platform/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zembra {

class cGdiPlus {
  public:
    static constexpr int kDefaultQuality = 75;

    // `onError` is subscribed before start-up, so it hears a failing start-up too.
    explicit cGdiPlus(ErrorEvent::Listener onError = {}, Files& files = Files::Local());
    ~cGdiPlus();
    cGdiPlus(const cGdiPlus&) = delete;
    cGdiPlus& operator=(const cGdiPlus&) = delete;

    ErrorEvent Error;

    // A picture object of the file's first frame, transparent parts black; null on
    // failure (FileNotFound for a missing file, UnknownImageFormat for a file no
    // codec recognises, GenericError with the codec's message for a damaged one).
    PictureRef FilenameToIPicture(const std::string& sFileName);

    // Saves pic's Picture with the encoder the extension of sFileName selects;
    // lQuality goes to the encoder only for extensions starting with "J". -1 when
    // the file was written, 0 otherwise; an extension no encoder lists gives 0
    // with no Error and no file.
    int PictureBoxToFile(PictureBox& pic, const std::string& sFileName,
                         int lQuality = kDefaultQuality);

    // [SECTION] Resizing a file without holding the whole picture. Together the two
    // write what FilenameToIPicture, a stretch over a width x height picture box
    // and PictureBoxToFile would: the same pixels, the same bytes.

    // The file's first frame row by row, transparent parts black; null on failure,
    // with Error raised as FilenameToIPicture raises it.
    std::unique_ptr<DecodedRows> FilenameToRows(const std::string& sFileName);
    // Stretches the rows over width x height pixels (both positive) into sFileName,
    // choosing the encoder and the quality as PictureBoxToFile does. -1 when the file
    // was written, 0 otherwise; a damaged source raises its own failure.
    int RowsToFile(DecodedRows& rows, int width, int height, const std::string& sFileName,
                   int lQuality = kDefaultQuality);

    // An EXIF block (from its TIFF header on) for the outputs whose encoders
    // carry one: WebP and AVIF. Null for none.
    void KeepExif(std::shared_ptr<const Bytes> tiffBlock) { exif_ = std::move(tiffBlock); }

    std::string GdiErrorString(int lError) const { return zembra::GdiErrorString(lError); }

    std::uint32_t SessionToken() const { return sessionToken_; }
    int EncoderCount() const { return static_cast<int>(encoders_.size()); }
    int EncoderIndex(std::string_view pattern) const { return patterns_.EncoderIndex(pattern); }

  private:
    void BuildEncoderTable();
    // The encoder the name's extension selects, null for none; sets the quality
    // where it applies.
    const Codec* EncoderFor(const std::string& sFileName, int lQuality,
                            EncodeOptions& options) const;

    std::uint32_t sessionToken_ = 0;
    std::vector<const Codec*> encoders_; // the encoder of each index
    EncoderTable patterns_;
    Files& files_;
    std::shared_ptr<const Bytes> exif_;
};

} // namespace zembra
