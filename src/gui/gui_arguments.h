#pragma once
// The options of the zembra executable. Whatever follows them is either the
// program's command-line text (the remaining arguments joined by single blanks,
// when one holds "||" or they are the single "*"), or plain paths to add.

#include <string>
#include <vector>

namespace zembra {

struct GuiArguments {
    bool help = false;
    bool version = false;
    // Pictures or folders to add through "Add Pic(s)" once the window is up: those
    // of --add, then the plain paths after the options.
    std::vector<std::string> add;
    // Check boxes of the main window to tick once the pictures are added, as a
    // user would after start-up: their click handlers run.
    std::vector<std::string> tick;
    // Where to write a picture of the window; the program ends once it is written.
    std::string screenshot;
    // A folder to open the folder import dialog at, thumbnails on.
    std::string importFolder;
    // Point size of the window's font; 0 keeps the desktop's.
    int fontSize = 0;
    std::string commandLine;
    // Set when the arguments cannot be understood.
    std::string error;
};

// Options come first; "--" ends them, and so does the first argument that is not
// one. --add takes every following argument up to the next one starting with "--".
GuiArguments ParseGuiArguments(const std::vector<std::string>& args);

std::string GuiUsage();

} // namespace zembra
