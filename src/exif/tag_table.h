#pragma once
// What the EXIF classes know about tags and field types, in one place.

#include <array>
#include <cstdint>
#include <string_view>

namespace zembra::exif {

// Field types of a directory entry.
enum FieldType : std::uint16_t {
    kByte = 1,
    kAscii = 2,
    kShort = 3,
    kLong = 4,
    kRational = 5,
    kSByte = 6,
    kUndefined = 7,
    kSShort = 8,
    kSLong = 9,
    kSRational = 10,
    kFloat = 11,
    kDouble = 12,
};

// Bytes per value, indexed by field type; slot 0 is no type.
inline constexpr std::array<std::uint8_t, 13> kTypeSizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

// 0 for types outside the table.
constexpr std::uint8_t TypeSize(std::uint32_t type) {
    return type < kTypeSizes.size() ? kTypeSizes[type] : 0;
}

inline constexpr std::uint16_t kExifOffset = 34665;
inline constexpr std::uint16_t kInteroperabilityOffset = 40965;
inline constexpr std::uint16_t kArtist = 315;
inline constexpr std::uint16_t kDateTimeOriginal = 36867;

struct TagName {
    std::uint16_t number;
    std::string_view name;
};

// The names users see (and exif.ini sections use); "DateTimeOriginal2" is the
// established spelling for 36867. Order matters to lookups: first match wins.
inline constexpr std::array<TagName, 54> kTagNames = {{
    {270, "ImageDescription"},
    {271, "Make"},
    {272, "Model"},
    {274, "Orientation"},
    {282, "XResolution"},
    {283, "YResolution"},
    {296, "ResolutionUnit"},
    {305, "Software"},
    {306, "DateTime"},
    {318, "WhitePoint"},
    {319, "PrimaryChromaticities"},
    {529, "YCbCrCoefficients"},
    {531, "YCbCrPositioning"},
    {532, "ReferenceBlackWhite"},
    {33432, "Copyright"},
    {34665, "ExifOffset"},
    {33434, "ExposureTime"},
    {33437, "FNumber"},
    {34850, "ExposureProgram"},
    {34855, "ISOSpeedRatings"},
    {36864, "ExifVersion"},
    {36867, "DateTimeOriginal2"},
    {36868, "DateTimeDigitized"},
    {37121, "ComponentsConfiguration"},
    {37122, "CompressedBitsPerPixel"},
    {37377, "ShutterSpeedValue"},
    {37378, "ApertureValue"},
    {37379, "BrightnessValue"},
    {37380, "ExposureBiasValue"},
    {37381, "MaxApertureValue"},
    {37382, "SubjectDistance"},
    {37383, "MeteringMode"},
    {37384, "LightSource"},
    {37385, "Flash"},
    {37386, "FocalLength"},
    {37500, "MakerNote"},
    {37510, "UserComment"},
    {37520, "SubsecTime"},
    {37521, "SubsecTimeOriginal"},
    {37522, "SubsecTimeDigitized"},
    {40960, "FlashPixVersion"},
    {40961, "ColorSpace"},
    {40962, "ExifImageWidth"},
    {40963, "ExifImageHeight"},
    {40964, "RelatedSoundFile"},
    {40965, "ExifInteroperabilityOffset"},
    {41486, "FocalPlaneXResolution"},
    {41487, "FocalPlaneYResolution"},
    {41488, "FocalPlaneResolutionUnit"},
    {41493, "ExposureIndex"},
    {41495, "SensingMethod"},
    {41728, "FileSource"},
    {41729, "SceneType"},
    {41730, "CFAPattern"},
}};

// How clsEXIF turns a value into its display text.
enum class Rendering {
    Text,         // the value bytes as characters
    Unsigned,     // the first value as an unsigned number
    Signed,       // the first value as a signed number
    Real,         // the first FLOAT or DOUBLE value
    Printable,    // the value bytes, codes 32..127 only
    Version,      // "0220" -> "2.20"
    Components,   // component names of the first four bytes
    Reciprocal,   // 1 / value, "0" (exposure time as 1/x seconds)
    ApexAperture, // sqrt(2) ^ value, "0.0" (APEX aperture to f-number)
    OneDecimal,   // value, "0.0"
    PowerOfTwo,   // 2 ^ value, "0" (APEX shutter speed to 1/x seconds)
    RationalText, // first rational "n/d"; from two values on, each "0.000" joined by "/"
};

inline constexpr std::uint16_t kAnyTag = 0;

struct FormatRow {
    std::uint16_t type;
    std::uint16_t tag; // kAnyTag matches every tag
    Rendering rendering;
};

// Searched in order; the first row with the entry's type and tag (or kAnyTag) decides.
inline constexpr auto kFormatRows = std::to_array<FormatRow>({
    {kAscii, kAnyTag, Rendering::Text},
    {kByte, kAnyTag, Rendering::Unsigned},
    {kShort, kAnyTag, Rendering::Unsigned},
    {kLong, kAnyTag, Rendering::Unsigned},
    // FLOAT and DOUBLE are shown as the numbers they encode.
    {kFloat, kAnyTag, Rendering::Real},
    {kDouble, kAnyTag, Rendering::Real},
    {kSByte, kAnyTag, Rendering::Signed},
    {kSShort, kAnyTag, Rendering::Signed},
    {kSLong, kAnyTag, Rendering::Signed},
    {kUndefined, 37500, Rendering::Printable},
    {kUndefined, 36864, Rendering::Version},
    {kUndefined, 40960, Rendering::Version},
    {kUndefined, 37121, Rendering::Components},
    {kUndefined, 41728, Rendering::Unsigned},
    {kUndefined, 41729, Rendering::Unsigned},
    {kUndefined, kAnyTag, Rendering::Text},
    {kRational, 33434, Rendering::Reciprocal},
    {kRational, 37378, Rendering::ApexAperture},
    {kRational, 37381, Rendering::ApexAperture},
    {kRational, 282, Rendering::OneDecimal},
    {kRational, 283, Rendering::OneDecimal},
    {kRational, 33437, Rendering::OneDecimal},
    {kRational, 37382, Rendering::OneDecimal},
    {kRational, 37386, Rendering::OneDecimal},
    {kRational, 41486, Rendering::OneDecimal},
    {kRational, 41487, Rendering::OneDecimal},
    {kRational, kAnyTag, Rendering::RationalText},
    {kSRational, 37377, Rendering::PowerOfTwo},
    {kSRational, 37380, Rendering::OneDecimal},
    {kSRational, kAnyTag, Rendering::RationalText},
});

// Component names of ComponentsConfiguration, by byte value.
inline constexpr std::array<std::string_view, 7> kComponentNames = {"",  "Y", "Cb", "Cr",
                                                                    "R", "G", "B"};

constexpr const FormatRow* FindFormatRow(std::uint32_t type, std::uint32_t tag) {
    for (const FormatRow& row : kFormatRows) {
        if (row.type == type && (row.tag == kAnyTag || row.tag == tag))
            return &row;
    }
    return nullptr;
}

} // namespace zembra::exif
