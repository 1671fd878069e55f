#pragma once
// The pictures named on the program's command line: prefix "||" names, the names
// separated by "|", each picture being the prefix followed by one name.

#include <string>
#include <vector>

namespace zembra {

// Full paths of the pictures, in order; duplicates and missing files are kept.
std::vector<std::string> CommandLinePictures(const std::string& commandLine);

} // namespace zembra
