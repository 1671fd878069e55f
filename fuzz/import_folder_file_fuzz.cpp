// folder.txt as the folder import dialog reads it, over arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/folder_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const zembra::FolderFileLine& line : zembra::ParseFolderFile(text)) {
        if (line.key == "previewfolder=")
            (void)zembra::WholeNumber(line.value);
    }
    return 0;
}
