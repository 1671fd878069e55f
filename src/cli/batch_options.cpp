#include "cli/batch_options.h"

#include "platform/text.h"

#include <array>
#include <charconv>

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

constexpr std::array<const char*, 6> kConversions = {"none", "jpg", "gif", "bmp", "tif", "png"};
constexpr std::array<const char*, 4> kAlignments = {"corner", "top", "center", "bottom"};

} // namespace

const char* BatchUsage() {
    return "usage: zembra-batch --action N [options] PICTURE...\n"
           "  --action N          1 Rename Original, 2 Create/Rename Copy,\n"
           "                      3 Resize/Convert Original, 4 Create/Resize/Convert Copy,\n"
           "                      5 Resize/Rename/Convert Original,\n"
           "                      6 Create/Resize/Rename/Convert Copy,\n"
           "                      7 Rename Original & Resize/Rename/Convert Copy\n"
           "  --name TEXT         base name of the new names\n"
           "  --date N            put the date taken first, in format N (0 to 8)\n"
           "  --time              the time taken replaces the running number\n"
           "  --percent N         resize to N percent (1 to 100); default 100\n"
           "  --size WxH          resize to W by H pixels (not with --percent)\n"
           "  --keep-aspect, --no-keep-aspect\n"
           "                      keep the aspect ratio with --size; kept by default\n"
           "  --quality N         JPEG quality 1 to 100 (5 less for JPEG sources);\n"
           "                      default 100, as in the window\n"
           "  --convert FORMAT    none, jpg, gif, bmp, tif or png\n"
           "  --exif, --no-exif   keep the EXIF block of JPEG pictures; kept by default\n"
           "  --watermark FILE    draw FILE onto every resized or converted picture\n"
           "  --align WHERE       corner (along the diagonal, the default), top, center\n"
           "                      or bottom\n"
           "  --stretch           stretch or shrink the watermark to the picture's width\n"
           "  --transparency N    0 to 3: 75%, 50%, 25% or 0% transparency; without it\n"
           "                      the watermark is drawn as the file has it\n"
           "  --jobs N            pictures worked on at once, 1 or 2 (the pixel work of\n"
           "                      the next picture on a second core; the files are the\n"
           "                      same); default 1\n"
           "  --settings          start from the window's saved settings, the action\n"
           "                      included (the flags above override them), and save\n"
           "                      them as the run starts\n"
           "  --help\n"
           "exit status: 0 all processed, 1 some skipped or failed, 2 refused or wrong flags\n";
}

ParsedArgs ParseBatchArgs(const std::vector<std::string>& args) {
    BatchOptions o;
    auto fail = [](std::string why) { return ParsedArgs{std::nullopt, std::move(why)}; };
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
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--time" || arg == "--keep-aspect" || arg == "--no-keep-aspect" ||
                   arg == "--exif" || arg == "--no-exif" || arg == "--stretch" ||
                   arg == "--settings") {
            if (inlineValue)
                return fail(arg + " takes no value");
            if (arg == "--time")
                o.timeStamp = true;
            else if (arg == "--settings")
                o.settings = true;
            else if (arg == "--stretch")
                o.stretch = true;
            else if (arg.ends_with("keep-aspect"))
                o.keepAspect = arg == "--keep-aspect";
            else
                o.keepExif = arg == "--exif";
        } else if (arg == "--action" || arg == "--name" || arg == "--date" || arg == "--percent" ||
                   arg == "--size" || arg == "--quality" || arg == "--convert" ||
                   arg == "--watermark" || arg == "--align" || arg == "--transparency" ||
                   arg == "--jobs") {
            const auto v = value();
            if (!v)
                return fail(arg + " needs a value");
            if (arg == "--action") {
                const auto n = WholeNumber(*v, 1, 7);
                if (!n)
                    return fail("--action takes a number from 1 to 7");
                o.action = *n;
            } else if (arg == "--name") {
                o.name = *v;
            } else if (arg == "--date") {
                o.dateFormat = WholeNumber(*v, 0, 8);
                if (!o.dateFormat)
                    return fail("--date takes a format number from 0 to 8");
            } else if (arg == "--percent") {
                if (!IsPercent(*v))
                    return fail("--percent takes a number from 1 to 100");
                o.percent = *v;
            } else if (arg == "--size") {
                const auto x = v->find_first_of("xX");
                const std::string w = x == std::string::npos ? *v : v->substr(0, x);
                const std::string h = x == std::string::npos ? std::string() : v->substr(x + 1);
                if (!IsPixelCount(w) || !IsPixelCount(h))
                    return fail("--size takes WIDTHxHEIGHT in pixels, such as 800x600");
                o.size = {w, h};
            } else if (arg == "--watermark") {
                if (v->empty())
                    return fail("--watermark needs a picture file");
                o.watermark = *v;
            } else if (arg == "--align") {
                for (std::size_t k = 0; k < kAlignments.size(); ++k) {
                    if (UCase(*v) == UCase(kAlignments[k]))
                        o.align = static_cast<int>(k);
                }
                if (!o.align)
                    return fail("--align takes corner, top, center or bottom");
            } else if (arg == "--transparency") {
                o.transparency = WholeNumber(*v, 0, 3);
                if (!o.transparency)
                    return fail("--transparency takes a number from 0 to 3");
            } else if (arg == "--jobs") {
                const auto n = WholeNumber(*v, 1, 2);
                if (!n)
                    return fail("--jobs takes 1 or 2");
                o.jobs = *n;
            } else if (arg == "--quality") {
                if (!IsPercent(*v))
                    return fail("--quality takes a number from 1 to 100");
                o.quality = *v;
            } else {
                for (std::size_t k = 0; k < kConversions.size(); ++k) {
                    if (UCase(*v) == UCase(kConversions[k]))
                        o.conversion = static_cast<int>(k);
                }
                if (!o.conversion)
                    return fail("--convert takes none, jpg, gif, bmp, tif or png");
            }
        } else {
            return fail("unknown option " + arg);
        }
    }
    // Both would set the resize mode; refuse rather than let one win silently.
    if (o.size && o.percent)
        return fail("--size and --percent cannot be used together; give one of them");
    if (!o.watermark && (o.align || o.stretch || o.transparency))
        return fail("--align, --stretch and --transparency need --watermark");
    return ParsedArgs{o, {}};
}

} // namespace zembra
