// Keeping the EXIF block of a JPEG source in the outputs that rewrite it. The
// block is held in memory from the source, so no file of the user's can stand
// in for it, and it goes into each output before that output is moved into place.
#include "main/form1.h"

#include "exif/segment_walk.h"
#include "imaging/codec.h"
#include "platform/steps.h"

namespace zembra {

bool Form1::keepExifCondition() const {
    return Check3.Value() == 1 && shared.SourceIsJpeg == 1 &&
           (shared.TargetExtension == ".JPG" || shared.ConversionPending == 0);
}

// Takes the source's first APP1 segment. Cameras put it near the start, so only a
// file whose start holds none is read whole.
void Form1::exifSave(const std::string& path) {
    shared.ExifBlock.reset();
    shared.ExifDamaged = false;
    if (!keepExifCondition())
        return;
    auto source = files_.ReadHead(path, exif::kHeadBytes);
    if (source && !exif::FirstApp1Bytes(*source) && source->size() == exif::kHeadBytes)
        source = files_.ReadAll(path);
    if (!source || source->empty())
        return;
    const auto found = exif::FindFirstApp1(*source);
    const auto segment = exif::FirstApp1Bytes(*source);
    // A length field below 2 cannot even count itself: such a block is no block.
    if (found && (found->length < 2 || !segment)) {
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
    const auto joined = shared.ExifBlock->empty()
                            ? std::optional<Bytes>(bare)
                            : exif::WithSegmentAfterSoi(bare, *shared.ExifBlock);
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
