#include "exif/cls_exif.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>

#include "exif/number_text.h"
#include "platform/byte_reader.h"

namespace zembra {

namespace {

using namespace exif_errors;

// A read that leaves the block; ReadEXIF turns it into error 11.
struct OutOfRange {};

template <class T> T Need(std::optional<T> value) {
    if (!value)
        throw OutOfRange{};
    return *value;
}

std::string AsText(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A pointer value as the display text gives it; an offset outside 32 bits cannot
// lie in the block.
std::uint32_t OffsetFromText(const std::string& text) {
    const double value = std::nearbyint(exif::LeadingNumber(text));
    if (value < 0 || value > std::numeric_limits<std::uint32_t>::max())
        throw OutOfRange{};
    return static_cast<std::uint32_t>(value);
}

std::string TrimSpaces(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        out.append(text, from, at - from);
        out += with;
        from = at + what.size();
    }
    out.append(text, from);
    return out;
}

struct Rational {
    double numerator = 0;
    double denominator = 0;
    std::string text; // "n/d"
    bool HasValue() const { return denominator != 0; }
    double Value() const { return numerator / denominator; }
};

Rational ReadRational(const ByteReader& r, std::uint64_t pos, bool isSigned) {
    Rational q;
    if (isSigned) {
        const auto num = Need(r.IntAt(pos, 4));
        const auto den = Need(r.IntAt(pos + 4, 4));
        q = {static_cast<double>(num), static_cast<double>(den),
             std::to_string(num) + "/" + std::to_string(den)};
    } else {
        const auto num = Need(r.UIntAt(pos, 4));
        const auto den = Need(r.UIntAt(pos + 4, 4));
        q = {static_cast<double>(num), static_cast<double>(den),
             std::to_string(num) + "/" + std::to_string(den)};
    }
    return q;
}

// A formatted rational, or its plain text when there is no value to format
// (a zero denominator, or a result that is not a finite number).
std::string FormattedOr(const Rational& q, double shown, int decimals) {
    if (!q.HasValue() || !std::isfinite(shown))
        return q.text;
    return exif::Fixed(shown, decimals);
}

// The display text of `count` rationals at pos; a first rational with a value
// replaces `value` by its quotient.
std::string ShowRationals(exif::Rendering how, const ByteReader& r, std::uint64_t pos,
                          std::uint32_t count, bool isSigned, double& value) {
    const Rational first = ReadRational(r, pos, isSigned);
    if (first.HasValue())
        value = first.Value();
    const double v = first.HasValue() ? first.Value() : 0;
    switch (how) {
    case exif::Rendering::Reciprocal:
        // A zero exposure has no reciprocal to show.
        return v == 0 ? first.text : FormattedOr(first, 1 / v, 0);
    case exif::Rendering::ApexAperture:
        return FormattedOr(first, std::pow(std::sqrt(2.0), v), 1);
    case exif::Rendering::OneDecimal:
        return FormattedOr(first, v, 1);
    case exif::Rendering::PowerOfTwo:
        return FormattedOr(first, std::pow(2.0, v), 0);
    default:
        break;
    }
    if (count == 1)
        return first.text;
    std::string text;
    for (std::uint32_t i = 0; i < count; ++i) {
        const Rational q = ReadRational(r, pos + std::uint64_t{8} * i, isSigned);
        if (i > 0)
            text += '/';
        text += FormattedOr(q, q.HasValue() ? q.Value() : 0, 3);
    }
    return text;
}

} // namespace

std::string ProgramDataFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return ".";
    const fs::path folder = exe.parent_path();
    if (folder.filename() == "bin") {
        const fs::path installed = folder.parent_path() / "share" / "zembra";
        if (fs::is_directory(installed, ec))
            return installed.string();
    }
    return folder.string();
}

clsEXIF::clsEXIF(Files& files, const std::string& programFolder) : files_(&files) {
    iniPath_ = programFolder;
    if (!iniPath_.ends_with('/'))
        iniPath_ += '/';
    iniPath_ += "exif.ini";
}

void clsEXIF::ImageFile(const std::string& path) {
    imageFile_ = path;
    status_ = ReadEXIF(path);
}

std::int16_t clsEXIF::ReadEXIF(const std::string& path) {
    const auto bytes = files_->ReadAll(path);
    if (!bytes || bytes->empty())
        throw ExifError(kFileNotFound, "ReadEXIF", kFileNotFoundText);
    return ReadEXIFBytes(*bytes);
}

std::int16_t clsEXIF::ReadEXIFBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        throw ExifError(kFileNotFound, "ReadEXIF", kFileNotFoundText);
    const auto block = bytes.first(std::min(bytes.size(), kReadLimit));

    static constexpr std::array<std::uint8_t, 5> kExifMark = {'E', 'x', 'i', 'f', 0};
    const auto found = std::search(block.begin(), block.end(), kExifMark.begin(), kExifMark.end());
    tagInfo_.assign(1, TagInfo{});
    if (found == block.end()) {
        status_ = kStatusNotExif;
        return kStatusNotExif;
    }
    // "Exif" NUL NUL, then the TIFF header.
    const std::uint64_t tiffStart = static_cast<std::uint64_t>(found - block.begin()) + 6;
    intel_ =
        tiffStart + 2 <= block.size() && block[tiffStart] == 'I' && block[tiffStart + 1] == 'I';
    const ByteReader r(block, intel_ ? ByteOrder::Little : ByteOrder::Big);
    ini_ = IniFile::Load(*files_, iniPath_);

    try {
        const std::uint32_t ifd0 = Need(r.U32At(tiffStart + 4));
        const std::uint32_t exifDirectory = ParseIFD(r, tiffStart, ifd0, exif::kExifOffset);
        // Without an Exif pointer there is no sub-directory to read (offset 0
        // would point back at the TIFF header itself).
        if (exifDirectory != 0)
            ParseIFD(r, tiffStart, exifDirectory, exif::kInteroperabilityOffset);
    } catch (const OutOfRange&) {
        status_ = kStatusParseFailed;
        throw ExifError(kParse, "ReadEXIF", kParseText);
    }
    status_ = kStatusRead;
    return kStatusRead;
}

std::uint32_t clsEXIF::ParseIFD(const ByteReader& r, std::uint64_t tiffStart,
                                std::uint64_t directory, std::uint32_t lookedFor) {
    const std::uint64_t start = tiffStart + directory;
    const std::uint16_t count = Need(r.U16At(start));
    std::uint32_t result = 0;
    // Records are appended as they are completed, so a damaged entry leaves
    // only whole records behind.
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = start + 2 + std::uint64_t{12} * i;
        const std::uint16_t id = Need(r.U16At(entry));
        const std::uint16_t type = Need(r.U16At(entry + 2));
        const std::uint32_t valueCount = Need(r.U32At(entry + 4));
        const std::uint32_t value = Need(r.U32At(entry + 8));
        if (type >= exif::kTypeSizes.size())
            throw OutOfRange{};

        TagInfo record;
        record.Id = id;
        record.Name = GetTagName(id);
        record.DataType = type;
        record.Count = static_cast<std::int32_t>(valueCount);
        record.Value = value;
        record.RawValue = value;
        FormatTagValue(r, record, tiffStart, entry);
        tagInfo_.push_back(std::move(record));
        if (id == lookedFor)
            result = OffsetFromText(tagInfo_.back().StringData);
    }
    return result;
}

void clsEXIF::FormatTagValue(const ByteReader& r, TagInfo& record, std::uint64_t tiffStart,
                             std::uint64_t entryPos) const {
    const auto type = static_cast<std::uint32_t>(record.DataType);
    const std::uint32_t count = static_cast<std::uint32_t>(record.Count);
    const std::size_t typeSize = exif::TypeSize(type);
    const std::uint64_t size = std::uint64_t{count} * typeSize;

    // Values over four bytes live at an offset; smaller ones in the entry itself.
    const std::uint64_t valuePos =
        size > 4 ? tiffStart + static_cast<std::uint32_t>(record.RawValue) : entryPos + 8;
    const auto valueBytes = Need(r.Sub(valuePos, std::max<std::uint64_t>(size, 4)));
    record.RawBytes = AsText(valueBytes.first(static_cast<std::size_t>(size)));

    const bool isSigned = type == exif::kSRational;
    std::string text;
    const exif::FormatRow* row = exif::FindFormatRow(type, static_cast<std::uint32_t>(record.Id));
    if (row != nullptr) {
        switch (row->rendering) {
        case exif::Rendering::Text:
            text = record.RawBytes;
            break;
        case exif::Rendering::Unsigned:
            text = std::to_string(Need(r.UIntAt(valuePos, typeSize)));
            break;
        case exif::Rendering::Signed:
            text = std::to_string(Need(r.IntAt(valuePos, typeSize)));
            break;
        case exif::Rendering::Real: {
            const std::uint64_t bits = Need(r.UIntAt(valuePos, typeSize));
            const double real = typeSize == 4
                                    ? std::bit_cast<float>(static_cast<std::uint32_t>(bits))
                                    : std::bit_cast<double>(bits);
            text = exif::NumberText(real);
            break;
        }
        case exif::Rendering::Printable:
            for (char c : record.RawBytes) {
                const auto code = static_cast<unsigned char>(c);
                if (code >= 32 && code <= 127)
                    text += c;
            }
            break;
        case exif::Rendering::Version: {
            const std::string& digits = record.RawBytes;
            text = exif::NumberText(exif::LeadingNumber(digits.substr(0, 2))) + "." +
                   (digits.size() < 2 ? digits : digits.substr(digits.size() - 2));
            break;
        }
        case exif::Rendering::Components:
            for (std::size_t i = 0; i < 4; ++i) {
                const std::uint8_t component = valueBytes[i];
                // Codes beyond the known components name nothing.
                if (component < exif::kComponentNames.size())
                    text += exif::kComponentNames[component];
            }
            break;
        case exif::Rendering::Reciprocal:
        case exif::Rendering::ApexAperture:
        case exif::Rendering::OneDecimal:
        case exif::Rendering::PowerOfTwo:
        case exif::Rendering::RationalText:
            if (count > 0)
                text = ShowRationals(row->rendering, r, valuePos, count, isSigned, record.Value);
            break;
        }
    }
    std::erase(text, '\0');

    // exif.ini may rename a value ([Name] text=replacement) and wrap it ([Name] Format=...@X...).
    const std::string replacement = ReadIniValue(iniPath_, record.Name, text, "");
    if (!replacement.empty())
        text = replacement;
    const std::string format = ReadIniValue(iniPath_, record.Name, "Format", "");
    if (!format.empty())
        text = ReplaceAll(format, "@X", text);
    record.StringData = std::move(text);
}

std::string clsEXIF::ReadIniValue(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) const {
    constexpr std::size_t kBuffer = 1024;
    std::string answer;
    if (ini_ && file == iniPath_) {
        answer = FitProfileBuffer(ini_->Get(section, key).value_or(""), kBuffer);
    } else {
        answer = GetPrivateProfileString(section, key, "", file, kBuffer, *files_);
    }
    answer = TrimSpaces(std::move(answer));
    return answer.empty() ? defaultValue : answer;
}

std::int32_t clsEXIF::MetaInfo(std::int32_t tag, std::string& StringData) const {
    if (status_ == kStatusNotExif)
        throw ExifError(kNotExif, "MetaInfo", kNotExifText);
    if (status_ == kStatusParseFailed)
        throw ExifError(kParse, "MetaInfo", kParseText);
    for (const TagInfo& record : Records()) {
        if (record.Id != tag)
            continue;
        StringData = record.StringData;
        const double whole = std::nearbyint(record.Value);
        if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
              whole <= std::numeric_limits<std::int32_t>::max()))
            throw ExifError(kOverflow, "MetaInfo", "Overflow");
        return static_cast<std::int32_t>(whole);
    }
    StringData = "Tag " + std::to_string(tag) + " not found.";
    return 0;
}

std::string clsEXIF::GetTagName(std::int32_t tag) const {
    for (const exif::TagName& entry : exif::kTagNames) {
        if (entry.number == tag)
            return std::string(entry.name);
    }
    return "Tag #" + std::to_string(tag);
}

std::string clsEXIF::ListInfo() const {
    if (status_ == kStatusNotExif)
        return kNotExifText;
    if (status_ == kStatusParseFailed)
        return "Could not open the file.";
    std::string lines;
    for (const TagInfo& record : Records())
        lines += record.Name + ": " + record.StringData + "\r\n";
    return lines;
}

std::optional<std::uint64_t> clsEXIF::BytesToNumber(std::span<const std::uint8_t> block,
                                                    std::size_t pos, std::size_t n, bool intel) {
    return ByteReader(block, intel ? ByteOrder::Little : ByteOrder::Big).UIntAt(pos, n);
}

std::optional<std::int64_t> clsEXIF::BytesToSignedNumber(std::span<const std::uint8_t> block,
                                                         std::size_t pos, std::size_t n,
                                                         bool intel) {
    return ByteReader(block, intel ? ByteOrder::Little : ByteOrder::Big).IntAt(pos, n);
}

} // namespace zembra
