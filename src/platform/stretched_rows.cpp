#include "platform/stretched_rows.h"

#include <algorithm>
#include <cstring>

namespace zembra {

namespace {

int WidestWindow(const AxisFilter& filter) {
    int widest = 1;
    for (int i = 0; i < filter.Size(); ++i)
        widest = std::max(widest, filter.Count(i));
    return widest;
}

} // namespace

StretchedRows::StretchedRows(PixelRows& source, int width, int height)
    : source_(source), width_(width), height_(height), columns_(width, source.Width()),
      rows_(height, source.Height()), ringRows_(WidestWindow(rows_)),
      ring_(static_cast<std::size_t>(ringRows_) * static_cast<std::size_t>(source.Width())),
      window_(static_cast<std::size_t>(ringRows_)), down_(static_cast<std::size_t>(source.Width())),
      row_(static_cast<std::size_t>(width)) {}

std::uint32_t* StretchedRows::Slot(int sourceRow) {
    return ring_.data() + static_cast<std::size_t>(sourceRow % ringRows_) *
                              static_cast<std::size_t>(source_.Width());
}

bool StretchedRows::ReadUpTo(int end) {
    for (; sourceNext_ < end; ++sourceNext_) {
        const std::uint32_t* from = source_.Next();
        if (from == nullptr)
            return false;
        std::memcpy(Slot(sourceNext_), from, down_.size() * sizeof(*from));
    }
    return true;
}

const std::uint32_t* StretchedRows::Next() {
    if (next_ >= height_)
        return nullptr;
    const int target = next_++;
    if (width_ == source_.Width() && height_ == source_.Height()) {
        // Nothing to filter: hand the source's rows on as they are.
        ++sourceNext_;
        return source_.Next();
    }
    const int first = rows_.First(target);
    const int count = rows_.Count(target);
    // Windows only move down; rows above this one's window are no longer needed.
    if (first > sourceNext_) {
        if (!source_.Skip(first - sourceNext_))
            return nullptr;
        sourceNext_ = first;
    }
    if (!ReadUpTo(first + count))
        return nullptr;
    for (int k = 0; k < count; ++k)
        window_[static_cast<std::size_t>(k)] = Slot(first + k);
    // Down first, then across: the order of a reference Lanczos resize, which
    // matters only where the 8-bit rows between the passes clip an overshoot.
    FilterColumns(window_.data(), rows_.Weights(target), count, down_.data(),
                  static_cast<int>(down_.size()));
    FilterRow(down_.data(), row_.data(), columns_);
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
