#pragma once
// Whether a picture must change format for the chosen conversion.

#include <string>

namespace zembra {

struct ConversionDecision {
    bool SourceIsJpeg = false;
    bool ConversionPending = false;
    std::string TargetExtension; // ".JPG", ".GIF", ".BMP", ".TIF", ".PNG", ".WEBP" or ".AVIF"
    std::string SourceExtension; // the picture's own extension, as written in its path
};

// conversion is the index of the conversion list; a pending conversion keeps
// previousSourceExtension, since nothing new is learned about the source type.
ConversionDecision DecideConversionFor(const std::string& path, int conversion, int action,
                                       const std::string& previousSourceExtension);

} // namespace zembra
