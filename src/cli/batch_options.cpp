#include "cli/batch_options.h"

#include "imaging/gp_bitmap.h"
#include "main/picture_naming.h"
#include "platform/files.h"
#include "platform/text.h"

#include <array>
#include <charconv>
#include <sys/stat.h>

#ifndef ZEMBRA_VERSION
#define ZEMBRA_VERSION "unknown"
#endif

namespace zembra {

namespace {

std::optional<int> WholeNumber(const std::string& text, int min, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max)
        return std::nullopt;
    return value;
}

bool IsPercent(const std::string& text) {
    if (!IsNumeric(text))
        return false;
    const double value = NumericValue(text);
    return value >= 1 && value <= 100;
}

// Width and height fields take up to six digits.
bool IsPixelCount(const std::string& text) {
    return !text.empty() && text.size() <= 6 && WholeNumber(text, 1, 999999).has_value();
}

template <std::size_t N>
std::optional<int> Choice(const std::string& value, const std::array<const char*, N>& names) {
    for (std::size_t k = 0; k < N; ++k) {
        if (UCase(value) == UCase(names[k]))
            return static_cast<int>(k);
    }
    return std::nullopt;
}

constexpr std::array<const char*, 8> kConversions = {"none", "jpg", "gif",  "bmp",
                                                     "tif",  "png", "webp", "avif"};
constexpr std::array<const char*, 4> kAlignments = {"corner", "top", "center", "bottom"};
constexpr int kMostJobs = 256;
constexpr int kMostShards = 100000;

// Flags that say how or where a run goes, not what it does to a picture: a plan
// file does not keep them.
bool RunFlag(const std::string& name) {
    for (const char* flag : {"--jobs", "--quiet", "-q", "--dry-run", "--json", "--plan", "--apply",
                             "--shard", "--settings", "--help", "-h", "--version"}) {
        if (name == flag)
            return true;
    }
    return false;
}

// A flag without a value. Each flag sets what it names, so the last one given wins.
struct Switch {
    const char* name;
    void (*apply)(BatchOptions&);
};

constexpr Switch kSwitches[] = {
    {"--time", [](BatchOptions& o) { o.timeStamp = true; }},
    {"--keep-aspect", [](BatchOptions& o) { o.keepAspect = true; }},
    {"--no-keep-aspect", [](BatchOptions& o) { o.keepAspect = false; }},
    {"--exif", [](BatchOptions& o) { o.keepExif = true; }},
    {"--no-exif", [](BatchOptions& o) { o.keepExif = false; }},
    {"--stretch", [](BatchOptions& o) { o.stretch = true; }},
    {"--upright", [](BatchOptions& o) { o.upright = true; }},
    {"--settings", [](BatchOptions& o) { o.settings = true; }},
    {"--dry-run", [](BatchOptions& o) { o.dryRun = true; }},
    {"--json", [](BatchOptions& o) { o.json = true; }},
    {"--quiet", [](BatchOptions& o) { o.quiet = true; }},
    {"-q", [](BatchOptions& o) { o.quiet = true; }},
    {"--help", [](BatchOptions& o) { o.help = true; }},
    {"-h", [](BatchOptions& o) { o.help = true; }},
    {"--version", [](BatchOptions& o) { o.version = true; }},
};

// A flag with a value: `apply` checks it and answers why it is wrong, or nothing.
// Every occurrence is checked, a repeated flag included.
struct ValueFlag {
    const char* name;
    std::string (*apply)(BatchOptions&, const std::string& value);
};

std::string SetSize(BatchOptions& o, const std::string& v) {
    const auto x = v.find_first_of("xX");
    const std::string w = x == std::string::npos ? v : v.substr(0, x);
    const std::string h = x == std::string::npos ? std::string() : v.substr(x + 1);
    if (!IsPixelCount(w) || !IsPixelCount(h))
        return "--size takes WIDTHxHEIGHT in pixels, such as 800x600";
    // Refused before any work: every picture would fail the same way, and late.
    const std::int64_t pixels = std::int64_t{std::stoi(w)} * std::stoi(h);
    const std::int64_t most = DecodeLimits{}.maxPixels;
    if (pixels > most)
        return "--size " + w + "x" + h + " asks for " + std::to_string(pixels) +
               " pixels; a picture may have at most " + std::to_string(most);
    o.size = {w, h};
    return {};
}

constexpr ValueFlag kValueFlags[] = {
    {"--action",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.action = WholeNumber(v, 1, 7).value_or(0);
         return o.action ? "" : "--action takes a number from 1 to 7";
     }},
    {"--name",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.name = v;
         return {};
     }},
    {"--date",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.dateFormat = WholeNumber(v, 0, 8);
         return o.dateFormat ? "" : "--date takes a format number from 0 to 8";
     }},
    {"--percent",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.percent = v;
         return IsPercent(v) ? "" : "--percent takes a number from 1 to 100";
     }},
    {"--size", SetSize},
    {"--quality",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.quality = v;
         return IsPercent(v) ? "" : "--quality takes a number from 1 to 100";
     }},
    {"--convert",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.conversion = Choice(v, kConversions);
         return o.conversion ? "" : "--convert takes none, jpg, gif, bmp, tif, png, webp or avif";
     }},
    {"--watermark",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.watermark = v;
         return v.empty() ? "--watermark needs a picture file" : "";
     }},
    {"--align",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.align = Choice(v, kAlignments);
         return o.align ? "" : "--align takes corner, top, center or bottom";
     }},
    {"--transparency",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.transparency = WholeNumber(v, 0, 3);
         return o.transparency ? "" : "--transparency takes a number from 0 to 3";
     }},
    {"--plan",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.planFile = v;
         return v.empty() ? "--plan needs a file to write the plan to" : "";
     }},
    {"--apply",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.applyFile = v;
         return v.empty() ? "--apply needs a plan file" : "";
     }},
    {"--shard",
     [](BatchOptions& o, const std::string& v) -> std::string {
         const auto slash = v.find('/');
         const auto parts = WholeNumber(v.substr(slash == std::string::npos ? v.size() : slash + 1),
                                        1, kMostShards);
         const auto part = WholeNumber(v.substr(0, slash), 1, kMostShards);
         if (slash == std::string::npos || !part || !parts || *part > *parts)
             return "--shard takes K/N, part K of N, such as 2/4";
         o.shardPart = *part;
         o.shardParts = *parts;
         return {};
     }},
    {"--jobs",
     [](BatchOptions& o, const std::string& v) -> std::string {
         o.jobs = WholeNumber(v, 1, kMostJobs).value_or(0);
         return o.jobs ? "" : "--jobs takes a number from 1 to " + std::to_string(kMostJobs);
     }},
};

bool IsFlag(const std::string& arg) {
    const std::string name = arg.substr(0, arg.find('='));
    if (name == "--undo")
        return true;
    for (const Switch& s : kSwitches) {
        if (name == s.name)
            return true;
    }
    for (const ValueFlag& f : kValueFlags) {
        if (name == f.name)
            return true;
    }
    return false;
}

// A folder may share its name with the base name; a file is a picture left out.
bool ExistingFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string BatchVersion() {
    return ZEMBRA_VERSION;
}

const char* BatchUsage() {
    return "usage: zembra-batch --action N [options] PICTURE...\n"
           "       zembra-batch --undo [JOURNAL]\n"
           "  --action N          1 Rename Original, 2 Create/Rename Copy,\n"
           "                      3 Resize/Convert Original, 4 Create/Resize/Convert Copy,\n"
           "                      5 Resize/Rename/Convert Original,\n"
           "                      6 Create/Resize/Rename/Convert Copy,\n"
           "                      7 Rename Original & Resize/Rename/Convert Copy\n"
           "  --name TEXT         base name of the new names: TEXT-001.jpg, TEXT-002.jpg...\n"
           "  --date N            put the date the picture was taken first, in format N;\n"
           "                      for 14 July 2024 with --name Trip:\n"
           "                        0 CCYY, MM-DD   2024, 07-14 Trip-001.jpg\n"
           "                        1 CCYYMMDD      20240714 Trip-001.jpg\n"
           "                        2 CCYY-MM-DD    2024-07-14 Trip-001.jpg\n"
           "                        3 YY-MM-DD      24-07-14 Trip-001.jpg\n"
           "                        4 YYMMDD        240714 Trip-001.jpg\n"
           "                        5 MMDDCCYY      07142024 Trip-001.jpg\n"
           "                        6 MM-DD-CCYY    07-14-2024 Trip-001.jpg\n"
           "                        7 MMDDYY        071424 Trip-001.jpg\n"
           "                        8 MM-DD-YY      07-14-24 Trip-001.jpg\n"
           "  --time              the time taken replaces the running number (Trip-183205.jpg)\n"
           "  --percent N         resize to N percent (1 to 100); default 100\n"
           "  --size WxH          resize to a size in pixels (not with --percent). With the\n"
           "                      aspect ratio kept, the picture's longer side becomes its\n"
           "                      field (W for a landscape picture, H for a portrait or\n"
           "                      square one) and the other side follows in proportion, so\n"
           "                      it may pass its own field: a 1000x900 picture at\n"
           "                      --size 160x120 becomes 160x144. Without it the picture\n"
           "                      becomes exactly W by H.\n"
           "  --keep-aspect, --no-keep-aspect\n"
           "                      keep the aspect ratio with --size; kept by default\n"
           "  --quality N         JPEG, WebP and AVIF quality 1 to 100 (5 less for JPEG\n"
           "                      sources); default 100, as in the window\n"
           "  --convert FORMAT    none, jpg, gif, bmp, tif, png, webp or avif\n"
           "  --exif, --no-exif   keep the EXIF block of JPEG pictures; kept by default\n"
           "  --upright           turn pictures the right way up by their EXIF Orientation\n"
           "                      before resizing\n"
           "  --watermark FILE    draw FILE onto every resized or converted picture\n"
           "  --align WHERE       corner (along the diagonal, the default), top, center\n"
           "                      or bottom\n"
           "  --stretch           stretch or shrink the watermark to the picture's width\n"
           "  --transparency N    0 to 3: 75%, 50%, 25% or 0% transparency; without it\n"
           "                      the watermark is drawn as the file has it\n"
           "  --jobs N            pictures worked on at once (the files are the same);\n"
           "                      default: the processors this process may use\n"
           "  --dry-run           print what the run would do, picture by picture, as a\n"
           "                      table (tab-separated, with a header line), and change\n"
           "                      nothing\n"
           "  --json              with --dry-run: one JSON object per picture instead\n"
           "  --plan FILE         write that table, with the flags, to FILE for --apply\n"
           "  --apply FILE        carry out a plan; a picture changed since, or a name\n"
           "                      taken since, is skipped with the reason\n"
           "  --shard K/N         with --apply: only part K of N (1 <= K <= N); the N\n"
           "                      parts together do what the whole plan does\n"
           "  --settings          start from the window's saved settings, the action\n"
           "                      included (the flags above override them), and save\n"
           "                      them as the run starts\n"
           "  -q, --quiet         print only failures, skipped pictures and the summary\n"
           "  --undo [JOURNAL]    take back a run: its outputs go to the Trash, renamed\n"
           "                      pictures get their names back, replaced originals come\n"
           "                      back from the Trash; files changed since are left alone.\n"
           "                      Default: the last run. Every run that changes files\n"
           "                      keeps a journal in $XDG_STATE_HOME/zembra (by default\n"
           "                      ~/.local/state/zembra). Exit status 0 when all was taken\n"
           "                      back, 1 when a file was left alone, 2 for a journal it\n"
           "                      cannot read\n"
           "  -h, --help          this text\n"
           "  --version           the version\n"
           "Each picture's line is printed as it ends; on a terminal a progress bar shows\n"
           "on stderr. Ctrl-C stops after the pictures in hand, a second Ctrl-C (or\n"
           "SIGTERM) at once; no temporary file stays and no original is touched.\n"
           "exit status: 0 all processed, 1 some skipped or failed, 2 refused or wrong\n"
           "flags, 130 stopped by Ctrl-C, 143 stopped by SIGTERM\n";
}

namespace {

ParsedArgs ParseArgs(const std::vector<std::string>& args, bool needPictures) {
    BatchOptions o;
    auto fail = [](std::string why) { return ParsedArgs{std::nullopt, std::move(why)}; };
    if (args.empty() && needPictures)
        return fail({});
    bool onlyPictures = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyPictures || arg.empty() || arg[0] != '-' || arg == "-") {
            o.pictures.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPictures = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (arg == "--undo") {
            // Its value is optional: the next argument, unless that is a flag.
            o.undo = true;
            if (inlineValue)
                o.undoJournal = *inlineValue;
            else if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-')
                o.undoJournal = args[++i];
            continue;
        }
        bool known = false;
        for (const Switch& s : kSwitches) {
            if (arg != s.name)
                continue;
            if (inlineValue)
                return fail(arg + " takes no value");
            s.apply(o);
            known = true;
            if (!RunFlag(arg))
                o.jobFlags.push_back(arg);
        }
        for (const ValueFlag& f : kValueFlags) {
            if (known || arg != f.name)
                continue;
            known = true;
            std::string value;
            if (inlineValue) {
                value = *inlineValue;
            } else {
                // A flag whose value was left out must not take the next flag or
                // picture as its value, or that picture is never processed.
                if (i + 1 == args.size() || IsFlag(args[i + 1]))
                    return fail(arg + " needs a value");
                value = args[++i];
                if (arg == "--name" &&
                    (IsSupportedExtension(ExtensionOf(value)) || ExistingFile(value)))
                    return fail("--name " + value +
                                ": that is a picture, not a name; give the name first, or "
                                "write --name=" +
                                value + " if you mean it");
            }
            if (std::string why = f.apply(o, value); !why.empty())
                return fail(why);
            if (!RunFlag(arg)) {
                o.jobFlags.push_back(arg);
                o.jobFlags.push_back(arg == "--watermark" ? AbsolutePath(value) : value);
            }
        }
        if (!known)
            return fail("unknown option " + arg);
    }
    // Both would set the resize mode; refuse rather than let one win silently.
    if (o.size && o.percent)
        return fail("--size and --percent cannot be used together; give one of them");
    if (!o.watermark && (o.align || o.stretch || o.transparency))
        return fail("--align, --stretch and --transparency need --watermark");
    if (o.undo && (!o.pictures.empty() || o.action != 0 || o.applyFile || o.planFile || o.dryRun))
        return fail("--undo takes a run back; it takes no pictures, no --action and no plan");
    if (o.applyFile) {
        // The plan holds the job and its pictures; more would go unused.
        if (!o.pictures.empty() || !o.jobFlags.empty() || o.dryRun || o.planFile || o.settings)
            return fail("--apply takes only the plan file, --shard, --jobs and --quiet");
        return ParsedArgs{o, {}};
    }
    if (o.shardParts > 1 || o.shardPart > 1)
        return fail("--shard goes with --apply");
    if (o.json && !o.dryRun)
        return fail("--json goes with --dry-run");
    if (o.planFile && o.settings)
        return fail("--plan keeps the flags of the job, not the window's settings; give the "
                    "options as flags");
    if (o.pictures.empty() && !o.help && !o.version && !o.undo && needPictures)
        return fail("no pictures given");
    return ParsedArgs{o, {}};
}

} // namespace

ParsedArgs ParseBatchArgs(const std::vector<std::string>& args) {
    return ParseArgs(args, true);
}

ParsedArgs ParseJobFlags(const std::vector<std::string>& flags) {
    ParsedArgs parsed = ParseArgs(flags, false);
    // Every one of them must be a job flag, as --plan writes them.
    if (parsed.options &&
        (!parsed.options->pictures.empty() || parsed.options->jobFlags.size() != flags.size()))
        return ParsedArgs{std::nullopt, "the plan's flags hold more than a job"};
    return parsed;
}

} // namespace zembra
