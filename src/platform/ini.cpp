#include "platform/ini.h"

namespace zembra {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

IniFile IniFile::Parse(std::string_view text) {
    if (text.size() > kMaxBytes)
        text = text.substr(0, kMaxBytes);
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    IniFile ini;
    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = Trimmed(line);
        if (line.empty())
            continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            const std::size_t close = line.find(']');
            ini.sections_.push_back({std::string(Trimmed(line.substr(0, close))), {}});
            current = &ini.sections_.back();
            continue;
        }
        const std::size_t equals = line.find('=');
        // Lines before the first section, and lines that are not assignments, hold nothing.
        if (current == nullptr || equals == std::string_view::npos)
            continue;
        current->entries.push_back({std::string(Trimmed(line.substr(0, equals))),
                                    std::string(Unquoted(Trimmed(line.substr(equals + 1))))});
    }
    return ini;
}

IniFile IniFile::Load(const Files& files, const std::string& path) {
    if (path.empty() || !files.Exists(path))
        return {};
    const auto bytes = files.ReadAll(path);
    if (!bytes)
        return {};
    const std::size_t size = bytes->size() < kMaxBytes ? bytes->size() : kMaxBytes;
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), size));
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    section = Trimmed(section);
    key = Trimmed(key);
    for (const Section& s : sections_) {
        if (!SameName(s.name, section))
            continue;
        // Later sections of the same name are never consulted.
        for (const Entry& e : s.entries) {
            if (SameName(e.key, key))
                return e.value;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::string FitProfileBuffer(std::string_view value, std::size_t bufferSize) {
    if (bufferSize == 0)
        return {};
    std::size_t keep = value.size() < bufferSize - 1 ? value.size() : bufferSize - 1;
    if (keep < value.size()) {
        // Step back to the start of a character so no UTF-8 sequence is cut.
        while (keep > 0 && (static_cast<unsigned char>(value[keep]) & 0xC0) == 0x80)
            --keep;
    }
    return std::string(value.substr(0, keep));
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file,
                                    std::size_t bufferSize, const Files& files) {
    const auto value = IniFile::Load(files, file).Get(section, key);
    return FitProfileBuffer(value ? std::string_view(*value) : defaultValue, bufferSize);
}

} // namespace zembra
