#include "main/conversion_decision.h"

#include "platform/text.h"

namespace zembra {

ConversionDecision DecideConversionFor(const std::string& path, int conversion, int action,
                                       const std::string& previousSourceExtension) {
    const std::string last4 = UCase(Right(path, 4));
    const std::string last5 = UCase(Right(path, 5));
    ConversionDecision d;
    d.SourceIsJpeg = last5 == ".JPEG" || last4 == ".JPG";
    d.SourceExtension = previousSourceExtension;

    bool alreadyTarget = true;
    bool ownIsFive = false; // whether the own extension is the 5-character form
    const char* target = "";
    switch (conversion) {
    case 1:
        alreadyTarget = d.SourceIsJpeg;
        ownIsFive = last5 == ".JPEG";
        target = ".JPG";
        break;
    case 2:
        alreadyTarget = last4 == ".GIF";
        target = ".GIF";
        break;
    case 3:
        alreadyTarget = last4 == ".BMP";
        target = ".BMP";
        break;
    case 4:
        alreadyTarget = last4 == ".TIF" || last5 == ".TIFF";
        ownIsFive = last5 == ".TIFF";
        target = ".TIF";
        break;
    case 5:
        alreadyTarget = last4 == ".PNG";
        target = ".PNG";
        break;
    case 6:
        alreadyTarget = last5 == ".WEBP";
        ownIsFive = true;
        target = ".WEBP";
        break;
    case 7:
        alreadyTarget = last5 == ".AVIF";
        ownIsFive = true;
        target = ".AVIF";
        break;
    default: // "No Conversion"
        ownIsFive = last5 == ".JPEG" || last5 == ".TIFF" || last5 == ".WEBP" || last5 == ".AVIF" ||
                    last5 == ".HEIC" || last5 == ".HEIF";
        break;
    }
    if (alreadyTarget) {
        d.SourceExtension = Right(path, ownIsFive ? 5 : 4);
    } else {
        d.ConversionPending = true;
        d.TargetExtension = target;
    }
    // Renaming never changes a picture's extension.
    if (action == 1 || action == 2)
        d.ConversionPending = false;
    return d;
}

} // namespace zembra
