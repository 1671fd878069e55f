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
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t'))
            fields.push_back(field);
        if (!line.empty() && line.back() == '\t')
            fields.emplace_back();
        if (header.empty()) {
            header = fields;
            continue;
        }
        Sample sample;
        for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i)
            sample.columns[header[i]] = fields[i];
        sample.path = dir + "/files/" + sample["file"];
        rows.push_back(std::move(sample));
    }
    return rows;
}

// The manifest writes bytes outside printable ASCII as \xNN.
inline std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() + 0 && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace zembra::testing
