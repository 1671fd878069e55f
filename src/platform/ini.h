#pragma once
// Profile-string reader for small settings files such as exif.ini: "[section]"
// lines, "key=value" lines, sections and keys compared without regard to ASCII
// case, lines ending in CR LF or LF. Answers match GetPrivateProfileString:
// the first matching section and key win, blanks around keys and values are
// dropped, and a value wrapped in a matching pair of quotes loses them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace zembra {

class IniFile {
  public:
    // Only this much of a file is looked at; settings files are a few lines.
    static constexpr std::size_t kMaxBytes = 1u << 20;

    IniFile() = default;
    static IniFile Parse(std::string_view text);
    // A missing or unreadable file reads as an empty one.
    static IniFile Load(const Files& files, const std::string& path);

    // The value of key in section; nullopt when either is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

// GetPrivateProfileString: the value, or `defaultValue` when the section or key
// is absent; the answer is cut to bufferSize - 1 bytes (never inside a UTF-8
// sequence), as a fixed buffer with its terminating NUL would hold it.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file,
                                    std::size_t bufferSize = 1024,
                                    const Files& files = Files::Local());

// The same cut applied to a value already looked up.
std::string FitProfileBuffer(std::string_view value, std::size_t bufferSize);

} // namespace zembra
