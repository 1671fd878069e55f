#include "platform/journal_lines.h"

#include <array>
#include <charconv>

namespace zembra {

namespace {

constexpr std::array<std::string_view, 5> kKindNames = {"created", "renamed", "copied", "replaced",
                                                        "trashed"};
constexpr std::size_t kMostFields = 8;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

template <typename T> std::optional<T> Number(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string IdentityField(const FileIdentity& id) {
    return std::to_string(id.device) + ":" + std::to_string(id.inode) + ":" +
           std::to_string(id.size) + ":" + std::to_string(id.modifiedSeconds) + ":" +
           std::to_string(id.modifiedNanoseconds);
}

std::optional<FileIdentity> ParseIdentity(std::string_view field) {
    std::array<std::string_view, 5> parts;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const auto colon = field.find(':');
        if ((colon == std::string_view::npos) != (k + 1 == parts.size()))
            return std::nullopt;
        parts[k] = field.substr(0, colon);
        field.remove_prefix(colon == std::string_view::npos ? field.size() : colon + 1);
    }
    const auto device = Number<std::uint64_t>(parts[0]);
    const auto inode = Number<std::uint64_t>(parts[1]);
    const auto size = Number<std::int64_t>(parts[2]);
    const auto seconds = Number<std::int64_t>(parts[3]);
    const auto nanoseconds = Number<std::int64_t>(parts[4]);
    if (!device || !inode || !size || !seconds || !nanoseconds)
        return std::nullopt;
    return FileIdentity{*device, *inode, *size, *seconds, *nanoseconds};
}

// The fields of a line, split at single spaces; nullopt for an empty field or
// too many of them.
std::optional<std::vector<std::string_view>> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto space = line.find(' ');
        const std::string_view field = line.substr(0, space);
        if (field.empty() || fields.size() == kMostFields)
            return std::nullopt;
        fields.push_back(field);
        if (space == std::string_view::npos)
            return fields;
        line.remove_prefix(space + 1);
    }
}

// "N kind fields...": the step it announces.
std::optional<JournalStep> ParseIntent(const std::vector<std::string_view>& f) {
    JournalStep step;
    std::size_t kind = 0;
    while (kind < kKindNames.size() && kKindNames[kind] != f[1])
        ++kind;
    if (kind == kKindNames.size())
        return std::nullopt;
    step.kind = static_cast<StepKind>(kind);
    // Fields after the kind: paths first, then identities.
    const bool twoPaths = step.kind == StepKind::Renamed || step.kind == StepKind::Copied;
    const bool twoIdentities = step.kind == StepKind::Replaced;
    const std::size_t expected = 2 + (twoPaths ? 2 : 1) + (twoIdentities ? 2 : 1);
    if (f.size() != expected)
        return std::nullopt;
    auto path = UnescapePath(f[2]);
    auto target = twoPaths ? UnescapePath(f[3]) : std::optional<std::string>(std::string());
    const std::size_t at = twoPaths ? 4 : 3;
    auto first = ParseIdentity(f[at]);
    auto second = twoIdentities ? ParseIdentity(f[at + 1]) : std::optional<FileIdentity>();
    if (!path || !target || !first || (twoIdentities && !second))
        return std::nullopt;
    step.path = std::move(*path);
    step.target = std::move(*target);
    (step.kind == StepKind::Trashed ? step.original : step.file) = *first;
    if (second)
        step.original = *second;
    return step;
}

// "ok N [identity | trash FILE INFO | deleted]" for the step it closes.
bool ParseDone(const std::vector<std::string_view>& f, JournalStep& step) {
    if (step.done)
        return false;
    step.done = true;
    if (f.size() == 2)
        return true;
    if (step.kind == StepKind::Copied && f.size() == 3) {
        step.made = ParseIdentity(f[2]);
        return step.made.has_value();
    }
    const bool disposes = step.kind == StepKind::Replaced || step.kind == StepKind::Trashed;
    if (disposes && f.size() == 3 && f[2] == "deleted") {
        step.deleted = true;
        return true;
    }
    if (!disposes || f.size() != 5 || f[2] != "trash")
        return false;
    auto file = UnescapePath(f[3]);
    auto info = UnescapePath(f[4]);
    if (!file || !info)
        return false;
    step.trashFile = std::move(*file);
    step.trashInfo = std::move(*info);
    return true;
}

} // namespace

std::string EscapePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == '%' || u == 0x7F) {
            escaped += '%';
            escaped += kHex[u >> 4];
            escaped += kHex[u & 15];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> UnescapePath(std::string_view field) {
    if (field.empty())
        return std::nullopt;
    std::string path;
    path.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto u = static_cast<unsigned char>(field[i]);
        if (u <= 0x20 || u == 0x7F)
            return std::nullopt;
        if (field[i] != '%') {
            path += field[i];
            continue;
        }
        if (2 > field.size() - i - 1)
            return std::nullopt;
        const int hi = HexDigit(field[i + 1]);
        const int lo = HexDigit(field[i + 2]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
            return std::nullopt;
        path += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return path;
}

std::string IntentLine(int number, const JournalStep& step) {
    std::string line = std::to_string(number) + " " +
                       std::string(kKindNames[static_cast<std::size_t>(step.kind)]) + " " +
                       EscapePath(step.path);
    if (step.kind == StepKind::Renamed || step.kind == StepKind::Copied)
        line += " " + EscapePath(step.target);
    line += " " + IdentityField(step.kind == StepKind::Trashed ? step.original : step.file);
    if (step.kind == StepKind::Replaced)
        line += " " + IdentityField(step.original);
    return line;
}

std::string DoneLine(int number, const JournalStep& step) {
    std::string line = "ok " + std::to_string(number);
    if (step.made)
        line += " " + IdentityField(*step.made);
    else if (step.deleted)
        line += " deleted";
    else if (!step.trashFile.empty() && !step.trashInfo.empty())
        line += " trash " + EscapePath(step.trashFile) + " " + EscapePath(step.trashInfo);
    return line;
}

std::string UndoneLine(int number) {
    return "undone " + std::to_string(number);
}

std::optional<std::vector<JournalStep>> ParseJournal(std::string_view text) {
    const auto firstBreak = text.find('\n');
    if (firstBreak == std::string_view::npos || text.substr(0, firstBreak) != kJournalHeader)
        return std::nullopt;
    text.remove_prefix(firstBreak + 1);
    std::vector<JournalStep> steps;
    for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const auto fields = Fields(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (!fields || fields->size() < 2)
            return std::nullopt;
        const std::string_view head = (*fields)[0];
        if (head == "ok" || head == "undone") {
            const auto number = Number<std::size_t>((*fields)[1]);
            if (!number || *number == 0 || *number > steps.size())
                return std::nullopt;
            JournalStep& step = steps[*number - 1];
            if (head == "undone") {
                if (fields->size() != 2 || step.undone)
                    return std::nullopt;
                step.undone = true;
            } else if (!ParseDone(*fields, step)) {
                return std::nullopt;
            }
            continue;
        }
        // Steps are numbered from 1 in the order they were taken.
        const auto number = Number<std::size_t>(head);
        auto step = number && *number == steps.size() + 1 ? ParseIntent(*fields) : std::nullopt;
        if (!step)
            return std::nullopt;
        steps.push_back(std::move(*step));
    }
    return steps;
}

} // namespace zembra
