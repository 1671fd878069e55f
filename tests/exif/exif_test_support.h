#pragma once
// Hand-made EXIF blocks and an in-memory file system for the EXIF tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exif/cls_exif.h"
#include "exif/exif_error.h"
#include "platform/byte_reader.h"
#include "platform/files.h"

namespace zembra::testing {

inline Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Checks that `call` raises ExifError `number`, and its source and text when given.
inline void ExpectExifError(const std::function<void()>& call, int number,
                            const std::string& source = {}, const std::string& text = {}) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << number;
    } catch (const ExifError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_TRUE(source.empty() || e.Source() == source) << e.Source();
        EXPECT_TRUE(text.empty() || e.Description() == text) << e.Description();
    }
}

// Files kept in a map; WriteAll can be made to fail, and writes are counted.
struct MemoryFiles : Files {
    std::optional<Bytes> ReadHead(const std::string& path, std::size_t most) const override {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return FirstBytes(it->second, most);
    }
    bool WriteAll(const std::string& path, const Bytes& bytes) override {
        ++writes;
        return !failWrites && (files[path] = bytes, true);
    }
    std::map<std::string, Bytes> files;
    int writes = 0;
    bool failWrites = false;
};

// A clsEXIF reading and writing MemoryFiles, with no exif.ini beside it.
struct MemoryExif {
    MemoryFiles files;
    clsEXIF exif{files, "/opt/zembra"};
};

// Builds a TIFF structure (header, directories, value data) in either byte order.
class TiffBuilder {
  public:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        // Up to four bytes: the value-or-offset field as stored (zero-padded).
        // Longer: value data placed after the directory, the field pointing at it.
        Bytes value;
    };

    explicit TiffBuilder(ByteOrder order) : order_(order) {
        bytes_ = order == ByteOrder::Little ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42};
        Data(Field32(8));
    }

    const Bytes& Tiff() const { return bytes_; }

    // Numbers of `size` bytes each, in the builder's byte order.
    Bytes Numbers(std::initializer_list<std::uint32_t> values, int size = 4) const {
        Bytes out;
        for (std::uint32_t v : values)
            for (int i = 0; i < size; ++i)
                out.push_back(static_cast<std::uint8_t>(
                    v >> (order_ == ByteOrder::Little ? 8 * i : 8 * (size - 1 - i))));
        return out;
    }
    Bytes Field16(std::uint16_t v) const { return Numbers({v}, 2); }
    Bytes Field32(std::uint32_t v) const { return Numbers({v}); }

    // Appends value data and gives its offset from the TIFF start.
    std::uint32_t Data(const Bytes& data) {
        const auto at = static_cast<std::uint32_t>(bytes_.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return at;
    }

    // Appends a directory (and its long values) and gives its offset.
    std::uint32_t Directory(const std::vector<Entry>& entries, std::uint32_t next = 0) {
        const auto at = Data(Numbers({static_cast<std::uint32_t>(entries.size())}, 2));
        auto data = static_cast<std::uint32_t>(at + 2 + 12 * entries.size() + 4);
        for (const Entry& e : entries) {
            Bytes field = e.value.size() > 4 ? Field32(data) : e.value;
            field.resize(4, 0);
            Data(Concat({Numbers({e.tag, e.type}, 2), Field32(e.count), field}));
            data += e.value.size() > 4 ? static_cast<std::uint32_t>(e.value.size()) : 0;
        }
        Data(Field32(next));
        for (const Entry& e : entries)
            if (e.value.size() > 4)
                Data(e.value);
        return at;
    }

    // Overwrites a 32-bit number: a directory's link, an offset field, IFD0's offset at 4.
    void Patch32(std::uint32_t at, std::uint32_t v) {
        const Bytes out = Field32(v);
        std::copy(out.begin(), out.end(), bytes_.begin() + at);
    }

  private:
    ByteOrder order_;
    Bytes bytes_;
};

// A segment: FF marker, big-endian length (payload + 2), payload.
inline Bytes Segment(std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    return Concat(
        {{0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)},
         payload});
}

// A comment segment of `size` blanks, to push other segments further into a file.
inline Bytes Comment(std::size_t size) {
    return Segment(0xFE, Bytes(size, 0x20));
}

inline Bytes ExifPayload(const Bytes& tiff) {
    return Concat({ToBytes(std::string_view("Exif\0\0", 6)), tiff});
}

// SOI, the given segments, then a start of scan with a little entropy data and EOI.
inline Bytes Jpeg(const std::vector<Bytes>& segments) {
    Bytes out = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        out = Concat({out, s});
    return Concat({out,
                   Segment(0xDA, {1, 1, 0, 0, 0x3F, 0}),
                   {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xD9}});
}

inline Bytes ExifJpeg(const TiffBuilder& tiff) {
    return Jpeg({Segment(0xE1, ExifPayload(tiff.Tiff()))});
}

} // namespace zembra::testing
