#include "main/picture_plan.h"

#include "platform/file_identity.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <map>

namespace zembra {

namespace {

constexpr std::string_view kFileFirstLine = "# zembra-batch plan 1";
constexpr std::string_view kFlagsMark = "# flags";
constexpr std::array<std::string_view, 16> kColumns = {
    "index",  "status",   "source", "action",    "new_name", "output", "width", "height",
    "format", "original", "date",   "date_from", "note",     "group",  "bytes", "modified"};
constexpr std::array<const char*, 3> kOriginals = {"kept", "renamed", "trashed"};

std::string Escaped(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string_view> Split(std::string_view line, char at) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto end = line.find(at);
        parts.push_back(line.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        line.remove_prefix(end + 1);
    }
}

template <typename Number>
std::optional<Number> NumberIn(std::string_view text, Number min, Number max) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string DateFrom(const PicturePlan& row) {
    if (!row.date.empty())
        return "EXIF DateTimeOriginal";
    return row.dateWanted ? "none" : "";
}

std::optional<PicturePlan> RowFrom(std::string_view line, std::string& error) {
    const auto fields = Split(line, '\t');
    if (fields.size() != kColumns.size()) {
        error = "a row has " + std::to_string(fields.size()) + " fields, not " +
                std::to_string(kColumns.size());
        return std::nullopt;
    }
    std::array<std::string, kColumns.size()> text;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        auto field = Unescaped(fields[k]);
        if (!field) {
            error = "a row has a broken escape in its " + std::string(kColumns[k]);
            return std::nullopt;
        }
        text[k] = std::move(*field);
    }
    PicturePlan row;
    const auto index = NumberIn<int>(text[0], 0, 1 << 30);
    const auto action = NumberIn<int>(text[3], 1, 7);
    const auto width = NumberIn<int>(text[6], 0, 1 << 30);
    const auto height = NumberIn<int>(text[7], 0, 1 << 30);
    const auto group = NumberIn<int>(text[13], 0, 1 << 30);
    const auto bytes = NumberIn<std::int64_t>(text[14], -1, INT64_MAX);
    const auto modified = NumberIn<std::int64_t>(text[15], INT64_MIN, INT64_MAX);
    std::optional<int> original;
    for (std::size_t k = 0; k < kOriginals.size(); ++k) {
        if (text[9] == kOriginals[k])
            original = static_cast<int>(k);
    }
    const bool statusKnown = text[1] == "process" || text[1] == "skip";
    if (!index || !action || !width || !height || !group || !bytes || !modified || !original ||
        !statusKnown || text[2].empty()) {
        error = "a row has a value out of its range";
        return std::nullopt;
    }
    row.index = *index;
    row.skipped = text[1] == "skip";
    row.source = text[2];
    row.action = *action;
    row.newName = text[4];
    row.output = text[5];
    row.width = *width;
    row.height = *height;
    row.format = text[8];
    row.original = static_cast<PicturePlan::Original>(*original);
    row.date = text[10];
    row.dateWanted = !text[11].empty();
    row.reason = text[12];
    row.group = *group;
    row.sourceBytes = *bytes;
    row.sourceModified = *modified;
    return row;
}

} // namespace

std::vector<std::string> PicturePlan::Targets() const {
    std::vector<std::string> names;
    if (skipped)
        return names;
    if (!newName.empty())
        names.push_back(newName);
    if (!output.empty() && output != source)
        names.push_back(output);
    return names;
}

const char* OriginalText(PicturePlan::Original original) {
    return kOriginals[static_cast<std::size_t>(original)];
}

std::string PlanHeaderLine() {
    std::string line;
    for (const auto column : kColumns)
        line += (line.empty() ? "" : "\t") + std::string(column);
    return line;
}

std::string PlanLine(const PicturePlan& row) {
    const std::array<std::string, kColumns.size()> fields = {std::to_string(row.index),
                                                             row.skipped ? "skip" : "process",
                                                             row.source,
                                                             std::to_string(row.action),
                                                             row.newName,
                                                             row.output,
                                                             std::to_string(row.width),
                                                             std::to_string(row.height),
                                                             row.format,
                                                             OriginalText(row.original),
                                                             row.date,
                                                             DateFrom(row),
                                                             row.reason,
                                                             std::to_string(row.group),
                                                             std::to_string(row.sourceBytes),
                                                             std::to_string(row.sourceModified)};
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k)
        line += (k == 0 ? "" : "\t") + Escaped(fields[k]);
    return line;
}

std::string PlanJsonLine(const PicturePlan& row) {
    std::string line =
        "{\"index\":" + std::to_string(row.index) +
        ",\"status\":" + JsonString(row.skipped ? "skip" : "process") +
        ",\"source\":" + JsonString(row.source) + ",\"action\":" + std::to_string(row.action) +
        ",\"new_name\":" + JsonString(row.newName) + ",\"output\":" + JsonString(row.output) +
        ",\"width\":" + std::to_string(row.width) + ",\"height\":" + std::to_string(row.height) +
        ",\"format\":" + JsonString(row.format) +
        ",\"original\":" + JsonString(OriginalText(row.original)) +
        ",\"date\":" + JsonString(row.date) + ",\"date_from\":" + JsonString(DateFrom(row)) +
        ",\"note\":" + JsonString(row.reason) + ",\"group\":" + std::to_string(row.group) +
        ",\"bytes\":" + std::to_string(row.sourceBytes) +
        ",\"modified\":" + std::to_string(row.sourceModified) + "}";
    return line;
}

std::string PlanFileText(const std::vector<std::string>& flags,
                         const std::vector<PicturePlan>& rows) {
    std::string text = std::string(kFileFirstLine) + "\n" + std::string(kFlagsMark);
    for (const auto& flag : flags)
        text += "\t" + Escaped(flag);
    text += "\n" + PlanHeaderLine() + "\n";
    for (const auto& row : rows)
        text += PlanLine(row) + "\n";
    return text;
}

std::optional<ParsedPlan> ParsePlanFile(std::string_view text, std::string& error) {
    if (text.empty() || text.back() != '\n') {
        error = "the plan does not end with a whole line";
        return std::nullopt;
    }
    text.remove_suffix(1);
    const auto lines = Split(text, '\n');
    if (lines.size() < 3 || lines[0] != kFileFirstLine) {
        error = "this is not a zembra-batch plan";
        return std::nullopt;
    }
    const auto flagFields = Split(lines[1], '\t');
    if (flagFields[0] != kFlagsMark || lines[2] != PlanHeaderLine()) {
        error = "the plan's flags or column names are damaged";
        return std::nullopt;
    }
    ParsedPlan plan;
    for (std::size_t k = 1; k < flagFields.size(); ++k) {
        auto flag = Unescaped(flagFields[k]);
        if (!flag) {
            error = "the plan's flags are damaged";
            return std::nullopt;
        }
        plan.flags.push_back(std::move(*flag));
    }
    for (std::size_t k = 3; k < lines.size(); ++k) {
        auto row = RowFrom(lines[k], error);
        if (!row) {
            error = "line " + std::to_string(k + 1) + ": " + error;
            return std::nullopt;
        }
        plan.rows.push_back(std::move(*row));
    }
    return plan;
}

std::pair<std::int64_t, std::int64_t> SourceStamp(const std::string& path) {
    const auto identity = IdentifyFile(path);
    if (!identity)
        return {-1, 0};
    return {identity->size, identity->modifiedSeconds * 1000000000 + identity->modifiedNanoseconds};
}

std::vector<PicturePlan> PlanShard(const std::vector<PicturePlan>& rows, int part, int parts) {
    // Groups are numbered in the order they first appear, so that every part
    // gets an even share whatever the groups' own numbers are.
    std::map<int, int> ordinal;
    std::vector<PicturePlan> mine;
    for (const auto& row : rows) {
        const auto [at, added] = ordinal.emplace(row.group, static_cast<int>(ordinal.size()));
        if (at->second % parts == part - 1)
            mine.push_back(row);
    }
    return mine;
}

} // namespace zembra
