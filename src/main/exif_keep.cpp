// Keeping the EXIF block of a JPEG source in the outputs that rewrite it.
#include "main/form1.h"

#include "platform/steps.h"

namespace zembra {

bool Form1::keepExifCondition() const {
    return Check3.Value() == 1 && shared.SourceIsJpeg == 1 &&
           (shared.TargetExtension == ".JPG" || shared.ConversionPending == 0);
}

// Copies the source aside before it is rewritten, so its EXIF block survives.
void Form1::exifSave(const std::string& path) {
    if (!keepExifCondition())
        return;
    const std::string temporary = path + "exif" + shared.SourceExtension;
    if (files_.Copy(path, temporary))
        shared.ExifTempFile = temporary;
}

void Form1::exifRestore(const std::string& output) {
    if (!keepExifCondition())
        return;
    services_.DoEvents();
    // Moving the block into the output comes with the EXIF module; the copy is
    // removed either way so that no stray file is left beside the picture.
    (void)output;
    Step([&] {
        if (!shared.ExifTempFile.empty())
            files_.Remove(shared.ExifTempFile);
    });
    shared.ExifTempFile.clear();
}

} // namespace zembra
