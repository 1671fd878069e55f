#pragma once
// The command line of zembra-batch: parsed and checked before any control is touched.

#include <optional>
#include <string>
#include <vector>

namespace zembra {

struct BatchOptions {
    int action = 0;                  // index of the action list, 1 to 7
    std::optional<std::string> name; // base name
    std::optional<int> dateFormat;   // 0 to 8: include the date in this format
    bool timeStamp = false;
    std::optional<std::string> percent;
    std::optional<std::pair<std::string, std::string>> size; // width, height
    std::optional<bool> keepAspect;
    std::optional<std::string> quality;
    std::optional<int> conversion; // index of the conversion list
    std::optional<bool> keepExif;
    bool upright = false;                 // turn pictures upright before resizing
    std::optional<std::string> watermark; // the watermark picture
    std::optional<int> align;             // index of the alignment list
    bool stretch = false;
    std::optional<int> transparency; // slider value, 0 to 3
    int jobs = 0;                    // pictures worked on at once; 0: one per processor
    bool settings = false;           // start from the window's settings and write them back
    bool quiet = false;              // only failures, skipped pictures and the summary
    // The plan: printed (--dry-run, as JSON Lines with --json) or written to a
    // file, and nothing done; or a plan file carried out, whole or one part.
    bool dryRun = false;
    bool json = false;
    std::optional<std::string> planFile;
    std::optional<std::string> applyFile;
    int shardPart = 1, shardParts = 1;
    // The flags that make the job what it is, as given (a watermark's path made
    // absolute): what a plan file keeps to carry the job out later.
    std::vector<std::string> jobFlags;
    bool help = false;
    bool version = false;
    std::vector<std::string> pictures;
};

struct ParsedArgs {
    std::optional<BatchOptions> options; // empty when the arguments are wrong
    std::string error;                   // why they are wrong; empty with no arguments at all
};

ParsedArgs ParseBatchArgs(const std::vector<std::string>& args);
// The job flags a plan file keeps, alone: no pictures, no flags of the run.
ParsedArgs ParseJobFlags(const std::vector<std::string>& flags);

const char* BatchUsage();
std::string BatchVersion();

} // namespace zembra
