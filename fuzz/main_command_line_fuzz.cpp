// The command-line text of the window on arbitrary bytes.
#include "main/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& path : zembra::CommandLinePictures(text)) {
        if (path.size() > 2 * size)
            __builtin_trap(); // a path is the prefix and one name, both pieces of the text
    }
    return 0;
}
