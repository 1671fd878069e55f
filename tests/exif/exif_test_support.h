#pragma once
// Hand-made EXIF blocks and an in-memory file system for the EXIF tests.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exif/byte_reader.h"
#include "platform/files.h"

namespace zembra::testing {

inline Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Files kept in a map; WriteAll can be made to fail, and writes are counted.
class MemoryFiles : public Files {
  public:
    bool Exists(const std::string& path) const override { return files.count(path) != 0; }
    std::optional<Bytes> ReadAll(const std::string& path) const override {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    bool WriteAll(const std::string& path, const Bytes& bytes) override {
        ++writes;
        if (failWrites)
            return false;
        files[path] = bytes;
        return true;
    }
    bool Remove(const std::string& path) override { return files.erase(path) != 0; }

    std::map<std::string, Bytes> files;
    int writes = 0;
    bool failWrites = false;
};

// Builds a TIFF structure (header, directories, value data) in either byte order.
class TiffBuilder {
  public:
    struct Entry {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes field; // the four value-or-offset bytes, exactly as stored
    };

    explicit TiffBuilder(ByteOrder order) : order_(order) {
        bytes_ = order == ByteOrder::Intel ? Bytes{'I', 'I', 42, 0} : Bytes{'M', 'M', 0, 42};
        Append32(bytes_, 8);
    }

    ByteOrder Order() const { return order_; }
    const Bytes& Tiff() const { return bytes_; }

    // Value-or-offset fields in the builder's byte order.
    Bytes Field16(std::uint16_t v) const {
        Bytes out;
        Append(out, v, 2);
        out.resize(4, 0);
        return out;
    }
    Bytes Field32(std::uint32_t v) const {
        Bytes out;
        Append(out, v, 4);
        return out;
    }
    static Bytes FieldBytes(Bytes b) {
        b.resize(4, 0);
        return b;
    }

    // Appends value data and gives its offset from the TIFF start.
    std::uint32_t Data(const Bytes& data) {
        const auto at = static_cast<std::uint32_t>(bytes_.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return at;
    }
    std::uint32_t Data16(std::initializer_list<std::uint16_t> values) {
        Bytes out;
        for (auto v : values)
            Append(out, v, 2);
        return Data(out);
    }
    std::uint32_t Data32(std::initializer_list<std::uint32_t> values) {
        Bytes out;
        for (auto v : values)
            Append(out, v, 4);
        return Data(out);
    }

    // Appends a directory and gives its offset; IFD0 is the first one unless moved.
    std::uint32_t Directory(const std::vector<Entry>& entries, std::uint32_t next = 0) {
        const auto at = static_cast<std::uint32_t>(bytes_.size());
        Append(bytes_, entries.size(), 2);
        for (const Entry& e : entries) {
            Append(bytes_, e.tag, 2);
            Append(bytes_, e.type, 2);
            Append(bytes_, e.count, 4);
            Bytes field = e.field;
            field.resize(4, 0); // an entry always has four value bytes
            bytes_.insert(bytes_.end(), field.begin(), field.end());
        }
        Append(bytes_, next, 4);
        return at;
    }

    // Overwrites a 32-bit number (a link or the IFD0 offset at 4).
    void Patch32(std::uint32_t at, std::uint32_t v) {
        Bytes out;
        Append(out, v, 4);
        std::copy(out.begin(), out.end(), bytes_.begin() + at);
    }
    // The link field of a directory written earlier with `entryCount` entries.
    void Link(std::uint32_t directory, std::size_t entryCount, std::uint32_t next) {
        Patch32(directory + 2 + static_cast<std::uint32_t>(12 * entryCount), next);
    }

  private:
    void Append(Bytes& out, std::uint64_t v, int n) const {
        for (int i = 0; i < n; ++i) {
            const int shift = order_ == ByteOrder::Intel ? 8 * i : 8 * (n - 1 - i);
            out.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    void Append32(Bytes& out, std::uint32_t v) const { Append(out, v, 4); }

    ByteOrder order_;
    Bytes bytes_;
};

// A segment: FF marker, big-endian length (payload + 2), payload.
inline Bytes Segment(std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes out = {0xFF, marker, static_cast<std::uint8_t>(length >> 8),
                 static_cast<std::uint8_t>(length)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline Bytes ExifPayload(const Bytes& tiff) {
    Bytes payload = {'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

// SOI, the given segments, then a start of scan with a little entropy data and EOI.
inline Bytes Jpeg(const std::vector<Bytes>& segments) {
    Bytes out = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        out.insert(out.end(), s.begin(), s.end());
    const Bytes scan = Segment(0xDA, {1, 1, 0, 0, 0x3F, 0});
    out.insert(out.end(), scan.begin(), scan.end());
    for (std::uint8_t b : {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xD9})
        out.push_back(b);
    return out;
}

inline Bytes ExifJpeg(const TiffBuilder& tiff) {
    return Jpeg({Segment(0xE1, ExifPayload(tiff.Tiff()))});
}

} // namespace zembra::testing
