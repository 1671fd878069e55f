// Keeping the EXIF block of a JPEG source in the outputs that rewrite it.
#include "main/form1.h"

#include "exif/cls_exif.h"
#include "exif/container_exif.h"
#include "exif/segment_walk.h"
#include "exif/upright_block.h"
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
    const auto head = files_.ReadHead(source, exif::kHeadBytes);
    auto block = head ? exif::ExifTiffBlock(*head) : std::nullopt;
    if (!block && head && head->size() == exif::kHeadBytes) {
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

// The kept block of an output turned upright describes it as it now is.
void Form1::markUpright(const std::string& output) {
    auto bytes = files_.ReadAll(output);
    if (bytes && exif::MarkUprightInJpeg(*bytes, Picture2.PixelWidth(), Picture2.PixelHeight()))
        files_.WriteAll(output, *bytes);
}

// Copies the source aside before it is rewritten, so its EXIF block survives.
void Form1::exifSave(const std::string& path) {
    if (!keepExifCondition())
        return;
    const std::string temporary = path + "exif" + shared.SourceExtension;
    if (files_.Copy(path, temporary))
        shared.ExifTempFile = temporary;
}

// Puts the saved block into the output in place of the encoder's own, then
// removes the temporary copy whether or not that worked.
void Form1::exifRestore(const std::string& output) {
    if (!keepExifCondition())
        return;
    services_.DoEvents();
    const std::string temporary = shared.ExifTempFile;
    if (!temporary.empty()) {
        clsEXIF exif(files_);
        try {
            exif.RemoveEXIFHeader(output);
            exif.CopyEXIFHeader(temporary, output);
            if (uprightTurn_ != 1)
                markUpright(output);
        } catch (const std::exception& e) {
            failed(output + ": the EXIF block could not be kept (" + e.what() + ")");
        }
        files_.Remove(temporary);
    }
    shared.ExifTempFile.clear();
}

} // namespace zembra
