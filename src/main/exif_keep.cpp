// Keeping the EXIF block of a JPEG source in the outputs that rewrite it. The
// block is held in memory from the source, so no file of the user's can stand
// in for it, and it goes into each output before that output is moved into place.
#include "main/form1.h"

#include "exif/container_exif.h"
#include "exif/file_start.h"
#include "exif/segment_walk.h"
#include "exif/upright_block.h"
#include "imaging/codec.h"
#include "platform/steps.h"

namespace zembra {

bool Form1::keepExifCondition() const {
    return Check3.Value() == 1 && shared.SourceIsJpeg == 1 &&
           (shared.TargetExtension == ".JPG" || shared.ConversionPending == 0);
}

std::shared_ptr<const Bytes> Form1::exifForEncoder(const std::string& source) const {
    const bool carried = shared.TargetExtension == ".WEBP" || shared.TargetExtension == ".AVIF";
    if (Check3.Value() != 1 || shared.SourceIsJpeg != 1 || shared.ConversionPending != 1 ||
        !carried)
        return nullptr;
    const auto start = exif::ReadExifStart(files_, source);
    auto block = start ? exif::ExifTiffBlock(start->bytes) : std::nullopt;
    if (!block && start && !start->whole) {
        const auto whole = files_.ReadAll(source);
        block = whole ? exif::ExifTiffBlock(*whole) : std::nullopt;
    }
    if (!block)
        return nullptr;
    if (uprightTurn_ != 1)
        exif::MarkUpright(*block, Picture2.PixelWidth(), Picture2.PixelHeight());
    return std::make_shared<const Bytes>(std::move(*block));
}

int Form1::uprightOrientation(const std::string& source) const {
    return Check8.Value() == 1 ? exif::FileOrientation(files_, source) : 1;
}

// Takes the source's EXIF APP1 segment (past any XMP segment before it). Cameras
// put it near the start, so only a file whose start holds none is read whole.
void Form1::exifSave(const std::string& path) {
    shared.ExifBlock.reset();
    shared.ExifDamaged = false;
    if (!keepExifCondition())
        return;
    auto start = exif::ReadExifStart(files_, path);
    auto source = start ? std::optional<Bytes>(std::move(start->bytes)) : std::nullopt;
    if (source && !exif::ExifApp1Bytes(*source) && !start->whole)
        source = files_.ReadAll(path);
    if (!source || source->empty())
        return;
    const auto found = exif::FindFirstApp1(*source);
    const auto segment = exif::ExifApp1Bytes(*source);
    // A length field below 2 cannot even count itself: such a block is no block.
    if ((found && (found->length < 2 || !segment)) || (segment && segment->size() < 4)) {
        shared.ExifDamaged = true;
        return;
    }
    shared.ExifBlock = segment ? Bytes(segment->begin(), segment->end()) : Bytes();
}

// Puts the held block into the written file in place of the encoder's own. False
// when the block could not be kept; the file then stays as the encoder wrote it.
bool Form1::keepExif(const std::string& written, const std::string& output) {
    if (!keepExifCondition())
        return true;
    if (shared.ExifDamaged) {
        failed(output + ": the EXIF block of the source is damaged and was left out");
        return false;
    }
    if (!shared.ExifBlock) {
        failed(output + ": the EXIF block could not be read from the source");
        return false;
    }
    const auto bytes = files_.ReadAll(written);
    if (!bytes) {
        failed(output + ": the EXIF block could not be kept (the output cannot be read)");
        return false;
    }
    const exif::StripResult stripped = exif::WithoutFirstApp1(*bytes);
    if (stripped.outcome == exif::StripOutcome::PastTheEnd) {
        failed(output + ": the EXIF block could not be kept (the output is damaged)");
        return false;
    }
    const Bytes& bare = stripped.outcome == exif::StripOutcome::Removed ? stripped.bytes : *bytes;
    auto joined = shared.ExifBlock->empty() ? std::optional<Bytes>(bare)
                                            : exif::WithSegmentAfterSoi(bare, *shared.ExifBlock);
    // The kept block of a picture turned upright describes it as it now is.
    if (joined && uprightTurn_ != 1)
        exif::MarkUprightInJpeg(*joined, Picture2.PixelWidth(), Picture2.PixelHeight());
    // The result must still decode before it can take any picture's place.
    if (!joined || !JpegPictureSize(*joined)) {
        failed(output + ": the EXIF block does not fit the output and was left out");
        return false;
    }
    if (*joined == *bytes)
        return true;
    // The written file is this run's own and not in place yet: it goes first, so
    // a run killed here leaves one temporary file at most.
    if (!files_.Remove(written) || !files_.WriteAll(written, *joined)) {
        failed(output + ": the EXIF block could not be kept (the output could not be written)");
        return false;
    }
    return true;
}

} // namespace zembra
