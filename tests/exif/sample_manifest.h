#pragma once
// The manifest of the shared real camera pictures: what exiftool and a plain
// byte scanner read from each file (exif-samples/README.md).

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zembra::testing {

struct Sample {
    std::map<std::string, std::string> columns;
    std::string path;

    const std::string& operator[](const std::string& column) const {
        static const std::string none;
        const auto it = columns.find(column);
        return it == columns.end() ? none : it->second;
    }
};

inline std::string SamplesDir() {
    const std::string shared = SharedDir();
    return shared.empty() ? std::string() : shared + "/exif-samples";
}

// Every row of manifest.tsv; empty when the samples are not there.
inline std::vector<Sample> LoadManifest() {
    std::vector<Sample> rows;
    const std::string dir = SamplesDir();
    if (dir.empty())
        return rows;
    std::ifstream in(dir + "/manifest.tsv");
    std::vector<std::string> header;
    for (std::string line; std::getline(in, line);) {
        // A trailing empty field is lost here; a missing column reads as empty anyway.
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (header.empty()) {
            header = fields;
            continue;
        }
        Sample& sample = rows.emplace_back();
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i)
            sample.columns[header[i]] = fields[i];
        sample.path = dir + "/files/" + sample["file"];
    }
    return rows;
}

// The manifest writes bytes outside printable ASCII as \xNN.
inline std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// What ExifReader must give for tag 36867, derived from the manifest:
// - it only looks at the first FF E1 pair of a JPEG, so when that pair is not an
//   EXIF block (XMP first, other APP1 payloads, PNG, TIFF, HEIC) there is no date;
// - the value is the raw entry up to its first NUL or its count, whichever comes
//   first (count 19 keeps its last digit, count 21 drops its second NUL);
// - exiftool gave up on a few truncated JPEGs ("JPEG format error") whose EXIF
//   block is whole: the raw entry is the answer there;
// - where exiftool found no Exif-directory date in a readable file (no date, or
//   an Exif pointer of the wrong type) there is none;
// - the walk reads IFD0 before the Exif directory, and one Kodak file has its own
//   36867 in IFD0 (exiftool's group "IFD0"), stored with count 19.
inline std::string ExpectedDate(const Sample& s) {
    if (s["format"] != "jpeg" || s["first_app1_kind"] != "EXIF")
        return {};
    if (s["dto_exiftool_group"] == "IFD0")
        return s["exififd_dto_exiftool"];
    const std::string raw = Unescaped(s["exif_dto_raw"]);
    const bool exiftoolGaveUp =
        s["exiftool_messages"].find("JPEG format error") != std::string::npos;
    if (raw.empty() || (s["exififd_dto_exiftool"].empty() && !exiftoolGaveUp))
        return {};
    return raw.substr(0, raw.find('\0'));
}

} // namespace zembra::testing
