#pragma once
// The table that maps file patterns such as "*.JPG" to encoders, and the file
// extension rule that picks the pattern for an output name.

#include <map>
#include <string>
#include <string_view>

namespace zembra {

class EncoderTable {
  public:
    // Adds the patterns of a list such as "*.JPG;*.JPEG" for encoder `index`. Each
    // piece before a separator is added as it is, even empty; the piece after the
    // last separator is trimmed of spaces and added only when something is left.
    // A pattern already in the table takes the new index, so when the table is
    // filled from the last encoder to the first, the first encoder that lists a
    // pattern keeps it.
    void AddEncoderPatterns(std::string_view list, std::string_view separator, int index);

    // The encoder of a pattern, compared without regard to case; -1 when none.
    int EncoderIndex(std::string_view pattern) const;

    std::size_t Size() const { return patterns_.size(); }
    void Clear() { patterns_.clear(); }

  private:
    struct NoCaseLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::map<std::string, int, NoCaseLess> patterns_;
};

// The text after the last "." of a file name, in the case it is written; empty when
// there is no dot or a "/" follows the last one (the dot is in a folder's name).
std::string FileExtension(std::string_view fileName);

} // namespace zembra
