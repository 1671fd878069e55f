// clsEXIF: writing the records back as an EXIF block. Nothing in the batch run
// uses these; they let a tool set the Artist of a picture.

#include <algorithm>
#include <array>

#include "exif/cls_exif.h"
#include "exif/segment_walk.h"

namespace zembra {

using namespace exif_errors;

namespace {

void PutMotorola(Bytes& out, std::uint64_t value, int n) {
    for (int i = n - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Size of the units whose byte order flips between "II" and "MM" blocks.
std::size_t SwapUnit(std::int32_t type) {
    switch (type) {
    case exif::kShort:
    case exif::kSShort:
        return 2;
    case exif::kLong:
    case exif::kSLong:
    case exif::kFloat:
    case exif::kRational: // numerator and denominator flip separately
    case exif::kSRational:
        return 4;
    case exif::kDouble:
        return 8;
    default:
        return 1;
    }
}

std::string MotorolaBytes(const TagInfo& record, bool intel) {
    std::string bytes = record.RawBytes;
    const std::size_t unit = SwapUnit(record.DataType);
    if (!intel || unit == 1)
        return bytes;
    for (std::size_t i = 0; unit <= bytes.size() - i; i += unit)
        std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                     bytes.begin() + static_cast<std::ptrdiff_t>(i + unit));
    return bytes;
}

// Pointers into the block the records came from mean nothing in the new one.
bool IsPointerTag(std::int32_t id) {
    return id == exif::kExifOffset || id == exif::kInteroperabilityOffset || id == 34853 /* GPS */;
}

bool StartsWithExifPayload(std::span<const std::uint8_t> segment) {
    static constexpr std::array<std::uint8_t, 6> kExif = {'E', 'x', 'i', 'f', 0, 0};
    return segment.size() >= 10 && std::equal(kExif.begin(), kExif.end(), segment.begin() + 4);
}

} // namespace

std::string clsEXIF::StringFromBVal(std::int64_t value, bool m_Intel, int intLength) {
    if (intLength <= 0)
        return {};
    std::string out(static_cast<std::size_t>(intLength), '\0');
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < intLength && i < 8; ++i) {
        const auto byte = static_cast<char>(static_cast<std::uint8_t>(bits >> (8 * i)));
        out[static_cast<std::size_t>(m_Intel ? i : intLength - 1 - i)] = byte;
    }
    return out;
}

void clsEXIF::SetArtist(const std::string& strAuthor) {
    const std::string bytes = strAuthor + '\0';
    for (std::size_t i = 1; i < tagInfo_.size(); ++i) {
        TagInfo& record = tagInfo_[i];
        if (record.Id != exif::kArtist)
            continue;
        record.DataType = exif::kAscii;
        record.Count = static_cast<std::int32_t>(bytes.size());
        record.RawBytes = bytes;
        record.StringData = strAuthor;
        return;
    }
    TagInfo record;
    record.Id = exif::kArtist;
    record.Name = GetTagName(exif::kArtist);
    record.DataType = exif::kAscii;
    record.Count = static_cast<std::int32_t>(bytes.size());
    record.RawBytes = bytes;
    record.StringData = strAuthor;
    tagInfo_.push_back(std::move(record));
}

Bytes clsEXIF::BuildExifSegment() const {
    std::vector<const TagInfo*> records;
    for (const TagInfo& record : Records()) {
        const std::uint64_t size = std::uint64_t{static_cast<std::uint32_t>(record.Count)} *
                                   exif::TypeSize(record.DataType);
        if (IsPointerTag(record.Id) || exif::TypeSize(record.DataType) == 0 ||
            record.RawBytes.size() != size)
            continue;
        records.push_back(&record);
    }
    // Readers expect the entries of a directory in ascending tag order.
    std::stable_sort(records.begin(), records.end(),
                     [](const TagInfo* a, const TagInfo* b) { return a->Id < b->Id; });

    // Offsets count from the TIFF header: 8 header bytes, the entry count, the
    // entries and the link to the next directory come before the values.
    const std::uint64_t dataStart = 8 + 2 + 12 * std::uint64_t{records.size()} + 4;
    Bytes tiff = {'M', 'M', 0, 42};
    PutMotorola(tiff, 8, 4);
    PutMotorola(tiff, records.size(), 2);
    Bytes data;
    for (const TagInfo* record : records) {
        PutMotorola(tiff, static_cast<std::uint16_t>(record->Id), 2);
        PutMotorola(tiff, static_cast<std::uint16_t>(record->DataType), 2);
        PutMotorola(tiff, static_cast<std::uint32_t>(record->Count), 4);
        const std::string value = MotorolaBytes(*record, intel_);
        if (value.size() <= 4) {
            tiff.insert(tiff.end(), value.begin(), value.end());
            tiff.resize(tiff.size() + (4 - value.size()), 0);
            continue;
        }
        PutMotorola(tiff, dataStart + data.size(), 4);
        data.insert(data.end(), value.begin(), value.end());
        if (data.size() % 2 != 0)
            data.push_back(0); // values start on even offsets
    }
    PutMotorola(tiff, 0, 4);
    tiff.insert(tiff.end(), data.begin(), data.end());

    const std::size_t length = 2 + 6 + tiff.size();
    if (length > 0xFFFF)
        throw ExifError(kOverflow, "WriteEXIF", "Overflow");
    static constexpr std::uint8_t kHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    Bytes segment;
    segment.reserve(2 + length);
    PutMotorola(segment, 0xFFE1, 2);
    PutMotorola(segment, length, 2);
    segment.insert(segment.end(), std::begin(kHeader), std::end(kHeader));
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

namespace {

// `original` with `segment` after its SOI, in place of a leading EXIF APP1.
std::optional<Bytes> ReplaceExifSegment(std::span<const std::uint8_t> original,
                                        std::span<const std::uint8_t> segment) {
    const auto first = exif::FirstApp1Bytes(original);
    if (first && StartsWithExifPayload(*first)) {
        const exif::StripResult stripped = exif::WithoutFirstApp1(original);
        return exif::WithSegmentAfterSoi(stripped.bytes, segment);
    }
    return exif::WithSegmentAfterSoi(original, segment);
}

} // namespace

void clsEXIF::AdoptMotorolaOrder() {
    // The records now describe the big-endian block just written.
    for (std::size_t i = 1; i < tagInfo_.size(); ++i)
        tagInfo_[i].RawBytes = MotorolaBytes(tagInfo_[i], intel_);
    intel_ = false;
}

void clsEXIF::WriteEXIF(const std::string& strDestFile) {
    const auto original = files_->ReadAll(strDestFile);
    if (!original || original->empty())
        throw ExifError(kFileNotFound, "WriteEXIF", kFileNotFoundText);
    const auto joined = ReplaceExifSegment(*original, BuildExifSegment());
    if (!joined)
        throw ExifError(kParse, "WriteEXIF", kParseText);
    if (!files_->WriteAll(strDestFile, *joined))
        throw ExifError(kPathAccess, "WriteEXIF", "Path/File access error");
    AdoptMotorolaOrder();
}

void clsEXIF::SetNewAuthor(const std::string& strFileName, const std::string& strNewAuthor) {
    // Without ".jpg" in the name the copy would land on the original itself.
    const std::size_t dot = strFileName.rfind(".jpg");
    if (dot == std::string::npos)
        throw ExifError(kBadFileName, "SetNewAuthor", "Bad file name or number");
    const std::string copyPath =
        strFileName.substr(0, dot) + "new.jpg" + strFileName.substr(dot + 4);

    ReadEXIF(strFileName);
    SetArtist(strNewAuthor);
    const auto original = files_->ReadAll(strFileName);
    if (!original || original->empty())
        throw ExifError(kFileNotFound, "SetNewAuthor", kFileNotFoundText);
    const auto joined = ReplaceExifSegment(*original, BuildExifSegment());
    if (!joined)
        throw ExifError(kParse, "SetNewAuthor", kParseText);
    if (!files_->WriteAll(copyPath, *joined))
        throw ExifError(kPathAccess, "SetNewAuthor", "Path/File access error");
    AdoptMotorolaOrder();
}

} // namespace zembra
