// The ini reader over arbitrary text, looked up with names taken from the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zembra::IniFile ini = zembra::IniFile::Parse(text);
    const std::string_view section = text.substr(0, text.size() < 8 ? text.size() : 8);
    const std::string_view key = text.substr(text.size() / 2, 6);
    const auto value = ini.Get(section, key);
    (void)ini.Get("Make", "Canon");
    if (value)
        (void)zembra::FitProfileBuffer(*value, 16);
    return 0;
}
