#pragma once
// Where the executable hands the main window its command-line text.

#include "main/form1.h"

#include <QUrl>

#include <string>

namespace zembra {

// Runs the main window's start-up with the user's settings folder and the
// desktop's opener. `commandLine` is the program's arguments joined by single
// blanks ("||/a.jpg|/b.jpg", or "*" for the clipboard's text).
void StartUp(Form1& form, const std::string& commandLine);

// What the desktop's opener gets for a file or a web address: http(s) addresses
// as they are, everything else as the file URL of its absolute path.
QUrl DesktopUrl(const std::string& target);

} // namespace zembra
