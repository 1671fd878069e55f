#pragma once
// What a run does with each picture, decided before any file is touched: the
// names, the output's size and format, what becomes of the original, the date
// the names used, or why the picture is passed by. A run carries out its plan
// row by row; a plan written to a file can be carried out later, or in parts on
// several machines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zembra {

struct PicturePlan {
    enum class Original { Kept, Renamed, Trashed };

    int index = 0; // place in the list
    std::string source;
    // The source as planned: a row whose source changed since is not carried out.
    std::int64_t sourceBytes = -1;   // -1: there was no file
    std::int64_t sourceModified = 0; // nanoseconds since the epoch
    int action = 0;
    bool skipped = false;
    std::string reason; // why the picture is passed by, or what is worth knowing
    // Passed by without touching the status line (not a picture type at all).
    bool quietSkip = false;
    bool tellSkip = false; // the user is told why, as of a failure
    // Action 1 and 7: the original's new name; action 2: its unchanged copy.
    std::string newName;
    // Actions 3 to 7: the resized or converted file (the source's own path when
    // it replaces the original there).
    std::string output;
    int width = 0, height = 0; // of the output; 0 when not known
    std::string format;        // of the output: "JPEG", "PNG", ...
    Original original = Original::Kept;
    std::string date;        // the EXIF date taken the names were built from
    bool dateWanted = false; // dated names were asked for
    // Rows of one group depend on each other's names and go to the same part.
    int group = 0;

    bool operator==(const PicturePlan&) const = default;

    // The names this row creates.
    std::vector<std::string> Targets() const;
};

const char* OriginalText(PicturePlan::Original original);

// The table: a header line, then one line per row, fields separated by tabs.
// Tabs, line breaks and backslashes in a field are written \t, \n, \r and \\.
std::string PlanHeaderLine();
std::string PlanLine(const PicturePlan& row);
// One JSON object per row.
std::string PlanJsonLine(const PicturePlan& row);

// A plan file: a first line naming the format, a line with the flags the plan
// was made with, then the table.
std::string PlanFileText(const std::vector<std::string>& flags,
                         const std::vector<PicturePlan>& rows);

struct ParsedPlan {
    std::vector<std::string> flags;
    std::vector<PicturePlan> rows;
};
// nullopt, with `error` set, for anything that is not a whole plan file.
std::optional<ParsedPlan> ParsePlanFile(std::string_view text, std::string& error);

// The size and modification time (nanoseconds) of the file at `path`, as a
// plan records its source; {-1, 0} when there is no ordinary file.
std::pair<std::int64_t, std::int64_t> SourceStamp(const std::string& path);

// The rows of part `part` (1-based) of `parts`: whole groups, spread evenly.
std::vector<PicturePlan> PlanShard(const std::vector<PicturePlan>& rows, int part, int parts);

} // namespace zembra
