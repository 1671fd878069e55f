#pragma once
// Start-up and shut-down of the imaging library. Every imaging object that needs
// it starts a session of its own and ends only its own; sessions nest.

#include "imaging/status.h"

#include <cstdint>

namespace zembra {

struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    bool SuppressBackgroundThread = false;
    bool SuppressExternalCodecs = false;
};

// Starts a session and stores its token (never 0). Only version 1 exists; any
// other version fails with UnsupportedGdiplusVersion and a token of 0.
GpStatus GdiplusStartup(std::uint32_t& token, const GdiplusStartupInput& input);
// Ends the session of a token; unknown tokens and 0 are ignored.
void GdiplusShutdown(std::uint32_t token);
// Whether some session is running; graphics objects need one.
bool GdiplusRunning();

} // namespace zembra
