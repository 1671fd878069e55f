// clsEXIF::RemoveEXIFHeader on an in-memory file: what it writes must be the
// input less one whole segment.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "exif/cls_exif.h"

namespace {
struct OneFile : zembra::Files {
    zembra::Bytes bytes;
    std::optional<zembra::Bytes> ReadHead(const std::string&, std::size_t most) const override {
        return zembra::FirstBytes(bytes, most);
    }
    bool WriteAll(const std::string&, const zembra::Bytes& b) override {
        bytes = b;
        return true;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OneFile file;
    file.bytes.assign(data, data + size);
    zembra::clsEXIF exif(file, "/z");
    try {
        exif.RemoveEXIFHeader("/p.jpg");
    } catch (const zembra::ExifError&) {
    }
    if (file.bytes.size() > size || (file.bytes.size() < size && size - file.bytes.size() < 2))
        std::abort();
    return 0;
}
