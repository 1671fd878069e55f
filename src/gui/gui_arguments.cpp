#include "gui/gui_arguments.h"

#include <algorithm>
#include <charconv>

namespace zembra {

namespace {

bool IsOption(const std::string& arg) {
    return arg.size() > 2 && arg.starts_with("--");
}

// "*" takes the text from the clipboard; a "||" anywhere makes the arguments one
// text that a blank in a name may have split.
bool IsCommandLineText(const std::vector<std::string>& rest) {
    if (rest.size() == 1 && rest.front() == "*")
        return true;
    return std::any_of(rest.begin(), rest.end(),
                       [](const std::string& arg) { return arg.find("||") != std::string::npos; });
}

} // namespace

GuiArguments ParseGuiArguments(const std::vector<std::string>& args) {
    GuiArguments out;
    std::size_t i = 0;
    const auto value = [&](const std::string& option) -> const std::string* {
        if (i + 1 >= args.size()) {
            out.error = option + " needs a value";
            return nullptr;
        }
        return &args[++i];
    };
    for (; i < args.size() && out.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (!IsOption(arg))
            break;
        if (arg == "--help") {
            out.help = true;
        } else if (arg == "--version") {
            out.version = true;
        } else if (arg == "--add") {
            while (i + 1 < args.size() && !args[i + 1].starts_with("--"))
                out.add.push_back(args[++i]);
            if (out.add.empty())
                out.error = "--add needs at least one picture or folder";
        } else if (arg == "--tick") {
            if (const std::string* name = value(arg))
                out.tick.push_back(*name);
        } else if (arg == "--screenshot") {
            if (const std::string* file = value(arg))
                out.screenshot = *file;
        } else if (arg == "--import-folder") {
            if (const std::string* folder = value(arg))
                out.importFolder = *folder;
        } else if (arg == "--font-size") {
            if (const std::string* size = value(arg)) {
                const char* end = size->data() + size->size();
                const auto [ptr, ec] = std::from_chars(size->data(), end, out.fontSize);
                if (ec != std::errc() || ptr != end || out.fontSize < 4 || out.fontSize > 72)
                    out.error = "--font-size takes a point size from 4 to 72";
            }
        } else {
            out.error = "unknown option " + arg;
        }
    }
    if (!out.error.empty())
        return out;
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (IsCommandLineText(rest)) {
        for (const std::string& arg : rest) {
            if (!out.commandLine.empty())
                out.commandLine += ' ';
            out.commandLine += arg;
        }
    } else {
        // Plain paths, as a terminal or a file manager's "Open with" passes them.
        out.add.insert(out.add.end(), rest.begin(), rest.end());
    }
    return out;
}

std::string GuiUsage() {
    return "Usage: zembra [OPTION...] [PATH...|TEXT...]\n"
           "Batch picture processor: rename, resize, convert and watermark pictures.\n"
           "\n"
           "  --add PATH...       add these pictures, or the pictures inside these folders,\n"
           "                      to the list once the window is open\n"
           "  --tick NAME         tick the main window's check box NAME (e.g. Check6, \"Add\n"
           "                      Watermark Image\") once the pictures are added; repeatable\n"
           "  --import-folder DIR open the folder import dialog at DIR with its thumbnails\n"
           "  --screenshot FILE   write a PNG picture of the window to FILE, then quit\n"
           "                      (of the folder import dialog when it is open)\n"
           "  --font-size PT      use a PT point font in the window\n"
           "  --help              show this help and quit\n"
           "  --version           show the version and quit\n"
           "  --                  end of options\n"
           "\n"
           "PATHs are pictures or folders to add, as with --add.\n"
           "TEXT is the program's command line, the arguments joined by single blanks:\n"
           "a prefix followed by \"||\" and the pictures separated by \"|\", each picture\n"
           "being the prefix followed by its name, as in ||/photos/a.jpg|/photos/b.jpg.\n"
           "zembra-open builds it from file names.\n";
}

} // namespace zembra
