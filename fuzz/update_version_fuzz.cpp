// The version file on arbitrary bytes, through both readers.
#include "update/version_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto whole = zembra::ReadVersionText(text, zembra::VersionDigits::WholeLine);
    const auto three = zembra::ReadVersionText(text, zembra::VersionDigits::ThreeCharacters);
    // The shown version is three characters at most, joined by two dots.
    for (const auto& read : {whole, three}) {
        if (read.version && zembra::DisplayedPublishedVersion(*read.version).size() > 5)
            __builtin_trap();
    }
    return 0;
}
