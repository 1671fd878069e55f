// clsEXIF::CopyEXIFHeader between two in-memory files: the first input byte
// splits the rest into source and destination. The walk that decides how far a
// large source's start is read runs over the source too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "exif/cls_exif.h"
#include "exif/segment_walk.h"

namespace {
struct TwoFiles : zembra::Files {
    std::map<std::string, zembra::Bytes> files;
    std::optional<zembra::Bytes> ReadHead(const std::string& path,
                                          std::size_t most) const override {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return zembra::FirstBytes(it->second, most);
    }
    bool WriteAll(const std::string& path, const zembra::Bytes& b) override {
        files[path] = b;
        return true;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t split = (size - 1) * data[0] / 255;
    TwoFiles fs;
    fs.files["/src"].assign(data + 1, data + 1 + split);
    fs.files["/dst"].assign(data + 1 + split, data + size);
    // Either enough, or a need beyond what it was given.
    const std::size_t reach = zembra::exif::ExifApp1Reach(fs.files["/src"]);
    if (reach != 0 && reach <= split)
        std::abort();
    const std::size_t before = fs.files["/dst"].size();
    zembra::clsEXIF exif(fs, "/z");
    try {
        exif.CopyEXIFHeader("/src", "/dst");
    } catch (const zembra::ExifError&) {
    }
    if (fs.files["/dst"].size() < before || fs.files["/dst"].size() > before + split)
        std::abort();
    return 0;
}
