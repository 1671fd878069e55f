#pragma once
// What a rewritten picture loses: its outputs are one flat 8-bit picture, so the
// frames or pages after the first, transparency and 16-bit samples of a source
// do not survive. The run says so for each picture it concerns.

#include <cstdint>
#include <span>
#include <string>

namespace zembra {

// "frames 2 to 12, transparency" for a source with those; empty when an output
// keeps everything the source has. `source` is the whole file.
std::string DroppedParts(std::span<const std::uint8_t> source);

} // namespace zembra
