// Resizing and converting a picture into its output file.
#include "main/form1.h"

namespace zembra {

// The imaging layer that loads, scales and saves pictures is not part of this
// build yet: report the picture as not written rather than pretend.
void Form1::resizeoriginal(const std::string& source, std::string output) {
    if (output.empty())
        output = source;
    failed(source + ": resizing is not available in this build; " + output + " was not written");
}

void Form1::resizecopy(const std::string& source, const std::string& output) {
    failed(source + ": resizing is not available in this build; " + output + " was not written");
}

} // namespace zembra
