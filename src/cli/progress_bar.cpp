#include "cli/progress_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zembra {

namespace {

constexpr int kBarWidth = 20;

std::string Clock(double seconds) {
    const long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

std::string ProgressBarText(int done, int total, double seconds, int columns) {
    total = std::max(total, 1);
    done = std::clamp(done, 0, total);
    const int filled = static_cast<int>(static_cast<long long>(done) * kBarWidth / total);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                       std::to_string(done) + "/" + std::to_string(total);
    if (done > 0 && seconds > 0) {
        const double rate = done / seconds;
        char text[48];
        std::snprintf(text, sizeof text, "  %.1f pictures/s", rate);
        line += text;
        line += "  " + Clock((total - done) / rate) + " left";
    }
    if (columns > 1 && static_cast<int>(line.size()) > columns - 1)
        line.resize(static_cast<std::size_t>(columns - 1));
    return line;
}

} // namespace zembra
