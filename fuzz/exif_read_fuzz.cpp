// clsEXIF::ReadEXIF over arbitrary bytes, with an exif.ini beside the program.
#include <cstddef>
#include <cstdint>

#include "exif/cls_exif.h"

namespace {
struct IniOnly : zembra::Files {
    bool Exists(const std::string& path) const override { return path == "/z/exif.ini"; }
    std::optional<zembra::Bytes> ReadHead(const std::string&, std::size_t) const override {
        const std::string ini = "[Make]\nCanon=Canon Inc.\nFormat=<@X>\n[ExifOffset]\n26=8\n";
        return zembra::Bytes(ini.begin(), ini.end());
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static IniOnly files;
    zembra::clsEXIF exif(files, "/z");
    try {
        if (exif.ReadEXIFBytes({data, size}) == 0)
            (void)exif.ListInfo();
    } catch (const zembra::ExifError&) {
    }
    return 0;
}
