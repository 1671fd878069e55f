// ExifReader's walk over arbitrary bytes, and the same input loaded as a file
// whose start is read first (the first byte sets how much): both answers must
// agree, or reading the start alone would change what a large picture gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exif/exif_reader.h"

namespace {
struct OneFile : zembra::Files {
    zembra::Bytes bytes;
    std::optional<zembra::Bytes> ReadHead(const std::string&, std::size_t most) const override {
        return zembra::FirstBytes(bytes, most);
    }
};

template <class Load> std::string Outcome(zembra::ExifReader& reader, Load load) {
    std::string raised = "-";
    try {
        load();
    } catch (const zembra::ExifError& e) {
        raised = std::to_string(e.Number());
    }
    return raised + std::to_string(reader.Loaded()) + std::to_string(reader.IsIntel()) + " " +
           reader.Tag(36867).ToString() + " " + reader.Tag(0).ToString() + " " +
           std::to_string(reader.Entries().size());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OneFile file;
    file.bytes.assign(data, data + size);
    zembra::ExifWalkLimits wholeFirst;
    wholeFirst.headBytes = SIZE_MAX;
    zembra::ExifReader whole(file, wholeFirst);
    const std::string answer = Outcome(whole, [&] { whole.Load("/p.jpg"); });
    if (size == 0)
        return 0;
    zembra::ExifWalkLimits startFirst;
    startFirst.headBytes = size * data[0] / 256;
    zembra::ExifReader headFirst(file, startFirst);
    if (Outcome(headFirst, [&] { headFirst.Load("/p.jpg"); }) != answer)
        std::abort();
    return 0;
}
