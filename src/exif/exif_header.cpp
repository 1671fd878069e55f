// clsEXIF: carrying the first APP1 segment of one JPEG into another. The files
// are replaced through Files::WriteAll (a sibling written in full, then moved
// into place), so a failure never leaves a picture half-written or missing.

#include "exif/cls_exif.h"
#include "exif/file_start.h"
#include "exif/segment_walk.h"

namespace zembra {

using namespace exif_errors;

void clsEXIF::RemoveEXIFHeader(const std::string& strFileName) {
    const auto bytes = files_->ReadAll(strFileName);
    if (!bytes || bytes->empty())
        throw ExifError(kFileNotFound, "RemoveEXIFHeader", kFileNotFoundText);
    const exif::StripResult stripped = exif::WithoutFirstApp1(*bytes);
    switch (stripped.outcome) {
    case exif::StripOutcome::NoApp1:
        return;
    case exif::StripOutcome::PastTheEnd:
        throw ExifError(kParse, "RemoveEXIFHeader", kParseText);
    case exif::StripOutcome::Removed:
        if (!files_->WriteAll(strFileName, stripped.bytes))
            throw ExifError(kPathAccess, "RemoveEXIFHeader", "Path/File access error");
        return;
    }
}

void clsEXIF::CopyEXIFHeader(const std::string& strSrcFile, const std::string& strDestFile) {
    // An EXIF APP1 found whole in the file's start is the one the whole file
    // gives; only otherwise is the rest read.
    auto start = exif::ReadExifStart(*files_, strSrcFile);
    auto source = start ? std::optional<Bytes>(std::move(start->bytes)) : std::nullopt;
    auto segment = source ? exif::ExifApp1Bytes(*source) : std::nullopt;
    if (!segment && start && !start->whole) {
        source = files_->ReadAll(strSrcFile);
        segment = source ? exif::ExifApp1Bytes(*source) : std::nullopt;
    }
    if (!source || source->empty())
        throw ExifError(kFileNotFound, "CopyEXIFHeader", kFileNotFoundText);
    // From here on every failure leaves the destination as it was, silently:
    // the batch run has nothing better to do with it.
    if (!segment)
        return;
    const auto dest = files_->ReadAll(strDestFile);
    if (!dest || dest->empty())
        return;
    const auto joined = exif::WithSegmentAfterSoi(*dest, *segment);
    if (joined)
        files_->WriteAll(strDestFile, *joined);
}

} // namespace zembra
