#include "platform/stretched_rows.h"

#include "platform/raster_ops.h"

namespace zembra {

namespace {

std::vector<int> Samples(int targetSize, int sourceSize) {
    std::vector<int> samples(static_cast<std::size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i)
        samples[static_cast<std::size_t>(i)] =
            static_cast<int>(PointSample(i, targetSize, sourceSize));
    return samples;
}

} // namespace

StretchedRows::StretchedRows(PixelRows& source, int width, int height)
    : source_(source), width_(width), height_(height), columns_(Samples(width, source.Width())),
      rows_(Samples(height, source.Height())), row_(static_cast<std::size_t>(width)) {}

const std::uint32_t* StretchedRows::Next() {
    if (next_ >= height_)
        return nullptr;
    const int wanted = rows_[static_cast<std::size_t>(next_++)];
    // Enlarging repeats source rows: the target row is already made.
    if (wanted == sampledFrom_)
        return row_.data();
    if (wanted > sourceNext_ && !source_.Skip(wanted - sourceNext_))
        return nullptr;
    const std::uint32_t* from = source_.Next();
    if (from == nullptr)
        return nullptr;
    sourceNext_ = wanted + 1;
    sampledFrom_ = wanted;
    for (std::size_t c = 0; c < columns_.size(); ++c)
        row_[c] = from[columns_[c]];
    return row_.data();
}

bool StretchedRows::Finish() {
    const int rest = source_.Height() - sourceNext_;
    if (rest <= 0)
        return true;
    // The last row is read, not skipped: a decoder may skip to the end without
    // looking at what is left of its data.
    if (rest > 1 && !source_.Skip(rest - 1))
        return false;
    sourceNext_ = source_.Height();
    return source_.Next() != nullptr;
}

} // namespace zembra
