#include "imaging/upright.h"

namespace zembra {

namespace {

struct Point {
    int x, y;
};

// The stored pixel that shows at (x, y) of the upright picture, for a stored
// picture w x h.
Point StoredPixel(int orientation, int x, int y, int w, int h) {
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {y, h - 1 - x};
    case 7:
        return {w - 1 - y, h - 1 - x};
    case 8:
        return {w - 1 - y, x};
    default:
        return {x, y};
    }
}

class TurnedRows final : public DecodedRows {
  public:
    TurnedRows(std::unique_ptr<DecodedRows> source, int orientation)
        : source_(std::move(source)), width_(source_->Width()), height_(source_->Height()) {
        if (orientation >= 5 && orientation <= 8)
            std::swap(width_, height_);
        if (auto whole = CollectRows(*source_))
            turned_ = TurnedUpright(*whole, orientation);
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    const ColorProfile& Profile() const override { return source_->Profile(); }
    const std::uint32_t* Next() override {
        if (!turned_ || next_ >= turned_->Height())
            return nullptr;
        return turned_->Row(next_++).data();
    }
    bool Skip(int count) override {
        if (!turned_ || count > turned_->Height() - next_)
            return false;
        next_ += count;
        return true;
    }
    std::optional<Failure> failure() const override {
        if (auto damaged = source_->failure())
            return damaged;
        if (!turned_)
            return Failure{GpStatus::GenericError, "the picture's rows ran out"};
        return std::nullopt;
    }

  private:
    std::unique_ptr<DecodedRows> source_;
    int width_, height_;
    std::optional<Surface> turned_;
    int next_ = 0;
};

} // namespace

Surface TurnedUpright(const Surface& picture, int orientation) {
    if (orientation < 2 || orientation > 8)
        return picture;
    const int w = picture.Width(), h = picture.Height();
    const bool swapped = orientation >= 5;
    // The same number of pixels as the picture, which already exists.
    Surface out = *Surface::Create(swapped ? h : w, swapped ? w : h);
    for (int y = 0; y < out.Height(); ++y) {
        auto row = out.Row(y);
        for (int x = 0; x < out.Width(); ++x) {
            const Point p = StoredPixel(orientation, x, y, w, h);
            row[static_cast<std::size_t>(x)] = picture.At(p.x, p.y);
        }
    }
    out.SetProfile(picture.Profile());
    return out;
}

PictureRef TurnedUpright(PictureRef picture, int orientation) {
    if (!picture || orientation < 2 || orientation > 8)
        return picture;
    return std::make_shared<const Surface>(TurnedUpright(*picture, orientation));
}

std::unique_ptr<DecodedRows> TurnedUprightRows(std::unique_ptr<DecodedRows> rows, int orientation) {
    if (!rows || orientation < 2 || orientation > 8)
        return rows;
    return std::make_unique<TurnedRows>(std::move(rows), orientation);
}

} // namespace zembra
