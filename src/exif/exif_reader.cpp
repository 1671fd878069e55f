#include "exif/exif_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "exif/container_exif.h"
#include "exif/file_start.h"
#include "exif/tag_table.h"
#include "platform/byte_reader.h"

namespace zembra {

namespace {

using namespace exif_errors;

// A read outside the file: the walk stops with error 9.
struct OutOfRange {};
// A cap was reached: the walk stops quietly with what it has.
struct LimitReached {};

template <class T> T Need(std::optional<T> value) {
    if (!value)
        throw OutOfRange{};
    return *value;
}

bool Contains(const std::vector<std::uint64_t>& list, std::uint64_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The entry's four value bytes as one number in the block's order, written from
// its most significant byte to its least.
std::array<std::uint8_t, 4> MostSignificantFirst(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

bool IsSignedType(std::uint32_t type) {
    return type == exif::kSByte || type == exif::kSShort || type == exif::kSLong;
}

} // namespace

ExifReader::ExifReader(Files& files, ExifWalkLimits limits) : files_(&files), limits_(limits) {}

void ExifReader::Load(const std::string& picFile) {
    if (picFile_.empty())
        picFile_ = picFile;
    if (picFile_.empty())
        return;
    auto start = exif::ReadExifStart(*files_, picFile_, limits_.headBytes);
    std::optional<Bytes> bytes;
    if (start && !start->whole) {
        if (WalkHead(std::move(start->bytes)))
            return;
        bytes = files_->ReadAll(picFile_);
    } else if (start) {
        bytes = std::move(start->bytes);
    }
    if (!bytes) {
        loaded_ = false;
        throw ExifError(kRuntimeNotFound, "Load", "File not found");
    }
    LoadBytes(std::move(*bytes));
}

void ExifReader::LoadBytes(Bytes bytes) {
    bytes_ = std::move(bytes);
    // Reads may touch the slot just past the last byte, which holds 0.
    bytes_.push_back(0);
    Walk();
}

bool ExifReader::WalkHead(Bytes head) {
    // No 0 slot after the head: a read reaching its end fails instead, and the
    // whole file decides. A walk that read nothing past the head gives what the
    // whole file would, since it reads the same bytes in the same order.
    // A WebP or HEIF container is read whole: its boxes may run "to the end of
    // the file", which the start alone would put elsewhere.
    if (exif::IsExifContainer(head))
        return false;
    bytes_ = std::move(head);
    try {
        Walk();
    } catch (const ExifError&) {
        return false;
    }
    // An FF E1 pair still to be found, or a mark or byte order past the head.
    return app1_ != 0 && tiffBase_ < bytes_.size();
}

void ExifReader::Walk() {
    loaded_ = false;
    entries_.clear();
    unreadSlots_ = 0;
    app1_ = 0;
    tiffBase_ = 0;
    ifd0_ = 0;
    exifDirectory_ = 0;
    valueBytes_ = 0;
    // WebP and HEIF files keep the block in a container of their own; it is walked
    // as if a JPEG held it.
    if (bytes_.size() < 2 || bytes_[0] != 0xFF || bytes_[1] != 0xD8) {
        if (auto block = exif::ContainerExifBlock(bytes_)) {
            bytes_ = exif::AsExifApp1File(*block);
            bytes_.push_back(0);
        }
    }
    if (!IsExifJpeg())
        return;
    const ByteReader r(bytes_, IsIntel() ? ByteOrder::Little : ByteOrder::Big);
    const auto ifd0 = r.U32At(tiffBase_ + 4);
    if (!ifd0)
        throw ExifError(kSubscript, "Load", "Subscript out of range");
    ifd0_ = *ifd0;
    loaded_ = true;
    ReadIFDChain(std::uint64_t{tiffBase_} + ifd0_);
}

bool ExifReader::IsExifJpeg() {
    const std::size_t length = bytes_.empty() ? 0 : bytes_.size() - 1;
    if (length < 2 || bytes_[0] != 0xFF || bytes_[1] != 0xD8)
        return false;
    // The first FF E1 pair from offset 2 marked "Exif", wherever it stands: the scan
    // does not follow segments, so an APP0 (or anything else) before it does not
    // matter, and neither does an XMP APP1 that some editors put first.
    static constexpr std::array<std::uint8_t, 2> kApp1 = {0xFF, 0xE1};
    static constexpr std::array<std::uint8_t, 4> kExif = {'E', 'x', 'i', 'f'};
    const ByteReader r(bytes_, ByteOrder::Big);
    std::size_t firstPair = 0;
    for (auto found = std::search(bytes_.begin() + 2, bytes_.end(), kApp1.begin(), kApp1.end());
         found != bytes_.end();
         found = std::search(found + 2, bytes_.end(), kApp1.begin(), kApp1.end())) {
        const auto at = static_cast<std::size_t>(found - bytes_.begin());
        if (firstPair == 0)
            firstPair = at;
        const auto mark = r.Sub(at + 4, 4);
        if (mark && std::equal(mark->begin(), mark->end(), kExif.begin())) {
            app1_ = at;
            tiffBase_ = app1_ + 10;
            return true;
        }
    }
    // No pair at all is no EXIF (rather than looking for "Exif" at offset 4); a
    // pair without the mark is remembered, so a file's start that has one counts
    // as looked at.
    app1_ = firstPair;
    tiffBase_ = firstPair + 10;
    return false;
}

bool ExifReader::IsIntel() const {
    const auto first = ByteReader(bytes_, ByteOrder::Big).U8At(tiffBase_);
    return first && *first == 'I';
}

void ExifReader::Spend(std::size_t bytes) {
    if (bytes > limits_.maxValueBytes - valueBytes_)
        throw LimitReached{};
    valueBytes_ += bytes;
}

void ExifReader::ReadIFDChain(std::uint64_t directory) {
    const ByteReader r(bytes_, IsIntel() ? ByteOrder::Little : ByteOrder::Big);
    std::vector<std::uint64_t> visited;
    bool inExifDirectory = false;
    std::uint64_t d = directory;
    try {
        for (;;) {
            if (visited.size() >= limits_.maxDirectories)
                return;
            visited.push_back(d);
            const std::uint16_t count = Need(r.U16At(d));
            if (count > limits_.maxEntries - std::min(limits_.maxEntries, entries_.size()))
                return;
            // A directory's slots all count, filled or not: a damaged entry leaves
            // the slots after it empty (tag 0). Those are counted rather than
            // stored, so a hostile count costs nothing.
            for (std::size_t i = 0; i < count; ++i) {
                entries_.emplace_back();
                try {
                    ReadEntry(r, d + 2 + 12 * std::uint64_t{i}, entries_.back());
                } catch (...) {
                    unreadSlots_ += count - i - 1;
                    throw;
                }
            }

            std::uint64_t next = 0;
            if (!inExifDirectory)
                next = Need(r.U32At(d + 2 + 12 * std::uint64_t{count}));
            // A link back to a directory already read ends the chain like a 0 link.
            if (next != 0 && Contains(visited, tiffBase_ + next))
                next = 0;
            if (next == 0 && !inExifDirectory) {
                next = exifDirectory_;
                inExifDirectory = true;
                if (next != 0 && Contains(visited, tiffBase_ + next))
                    next = 0;
            }
            if (next == 0)
                return;
            d = tiffBase_ + next;
        }
    } catch (const OutOfRange&) {
        throw ExifError(kSubscript, "ReadIFDChain", "Subscript out of range");
    } catch (const LimitReached&) {
        return;
    }
}

void ExifReader::ReadEntry(const ByteReader& r, std::uint64_t e, TagEntry& entry) {
    const std::uint16_t tag = Need(r.U16At(e));
    const std::uint16_t type = Need(r.U16At(e + 2));
    const std::uint32_t components = Need(r.U32At(e + 4));
    entry.TagId = tag;
    entry.DataType = type;
    entry.Components = static_cast<std::int32_t>(components);

    const std::size_t typeSize = exif::TypeSize(type);
    if (typeSize == 0)
        return; // not a field type: no value
    const std::uint64_t size = std::uint64_t{components} * typeSize;
    const bool fits = size <= 4;
    std::uint64_t valuePos = e + 8;
    if (!fits) {
        const std::uint32_t offset = Need(r.U32At(e + 8));
        entry.ValueOffset = static_cast<std::int32_t>(offset);
        valuePos = std::uint64_t{tiffBase_} + offset;
    }
    const bool isSigned = IsSignedType(type);

    switch (type) {
    case exif::kAscii:
    case exif::kUndefined: {
        if (fits) {
            const auto chars = MostSignificantFirst(Need(r.U32At(e + 8)));
            entry.Value = ExifValue::Text(std::string(chars.begin(), chars.end()));
            break;
        }
        if (type == exif::kAscii) {
            // Text ends at its NUL or at the count, whichever comes first: some
            // cameras count a 19-character date as 19, leaving the NUL out.
            const auto bytes = Need(r.Sub(valuePos, components));
            Spend(bytes.size());
            const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
            entry.Value = ExifValue::Text(std::string(bytes.begin(), end));
            break;
        }
        // The last byte is the terminating NUL and is not part of the text.
        const auto text = Need(r.Sub(valuePos, components - std::uint64_t{1}));
        Spend(text.size());
        entry.Value = ExifValue::Text(std::string(text.begin(), text.end()));
        break;
    }
    case exif::kByte:
    case exif::kSByte:
        if (fits) {
            const std::uint32_t value = Need(r.U32At(e + 8));
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(value));
            entry.Value = ExifValue::Text(hex);
            break;
        }
        [[fallthrough]];
    case exif::kShort:
    case exif::kSShort:
    case exif::kLong:
    case exif::kSLong: {
        if (fits && components <= 1) {
            const auto value = isSigned
                                   ? Need(r.IntAt(valuePos, typeSize))
                                   : static_cast<std::int64_t>(Need(r.UIntAt(valuePos, typeSize)));
            entry.Value = ExifValue::Number(value);
            break;
        }
        // Several numbers: their decimal forms separated by blanks.
        Need(r.Sub(valuePos, size));
        std::string text;
        for (std::uint32_t i = 0; i < components; ++i) {
            const std::uint64_t at = valuePos + std::uint64_t{i} * typeSize;
            const std::string item = isSigned ? std::to_string(Need(r.IntAt(at, typeSize)))
                                              : std::to_string(Need(r.UIntAt(at, typeSize)));
            Spend(item.size() + 1);
            text += (i == 0 ? "" : " ") + item;
        }
        entry.Value = ExifValue::Text(std::move(text));
        break;
    }
    case exif::kRational:
    case exif::kSRational: {
        if (components == 0)
            break;
        // Only the first rational is read.
        std::string text;
        if (type == exif::kSRational) {
            const auto numerator = Need(r.IntAt(valuePos, 4));
            const auto denominator = Need(r.IntAt(valuePos + 4, 4));
            text = std::to_string(numerator) + "/" + std::to_string(denominator);
        } else {
            const auto numerator = Need(r.UIntAt(valuePos, 4));
            const auto denominator = Need(r.UIntAt(valuePos + 4, 4));
            text = std::to_string(numerator) + "/" + std::to_string(denominator);
        }
        entry.Value = ExifValue::Text(std::move(text));
        break;
    }
    default:
        break; // FLOAT, DOUBLE: not decoded
    }

    // Only a number can point at the Exif sub-directory; a pointer stored as
    // text (seen in damaged files) points nowhere.
    if (tag == exif::kExifOffset && entry.Value.IsNumber()) {
        const std::int64_t offset = entry.Value.AsNumber();
        if (offset >= 0 && offset <= 0xFFFFFFFF)
            exifDirectory_ = static_cast<std::uint32_t>(offset);
    }
}

ExifValue ExifReader::Tag(std::int32_t ExifTag) {
    if (!picFile_.empty() && !loaded_) {
        try {
            Load();
        } catch (const std::exception&) {
            // A picture that cannot be read simply has no tags.
        }
    }
    if (picFile_.empty() && !loaded_)
        return {};
    if (ExifTag == 0)
        return ExifValue::Number(static_cast<std::int64_t>(entries_.size() + unreadSlots_));
    for (const TagEntry& entry : entries_) {
        if (entry.TagId == ExifTag)
            return entry.Value;
    }
    return {};
}

ExifValue ExifReader::MakerNoteTag(std::int32_t MakerTag) const {
    if (!loaded_)
        return {};
    for (const TagEntry& entry : entries_) {
        if (entry.TagId == MakerTag && entry.IsMakerNote)
            return entry.Value;
    }
    return {};
}

} // namespace zembra
