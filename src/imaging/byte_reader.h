#pragma once
// A bounds-checked reader over untrusted bytes. Every read can fail and says so in
// its result; nothing hands out pointers past the end. Checks are written as
// `n <= size - pos`, which cannot wrap.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zembra {

enum class ByteOrder { Little, Big };

class ByteReader {
  public:
    ByteReader(std::span<const std::uint8_t> bytes, ByteOrder order)
        : bytes_(bytes), order_(order) {}

    std::size_t Size() const { return bytes_.size(); }
    std::size_t Pos() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }

    std::optional<std::uint8_t> U8() {
        if (Remaining() < 1)
            return std::nullopt;
        return bytes_[pos_++];
    }
    std::optional<std::uint16_t> U16() {
        auto b = Bytes(2);
        if (!b)
            return std::nullopt;
        const auto& s = *b;
        return static_cast<std::uint16_t>(order_ == ByteOrder::Little ? s[0] | (s[1] << 8)
                                                                      : (s[0] << 8) | s[1]);
    }
    std::optional<std::uint32_t> U32() {
        auto b = Bytes(4);
        if (!b)
            return std::nullopt;
        const auto& s = *b;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t at = order_ == ByteOrder::Little ? 3 - i : i;
            v = (v << 8) | s[at];
        }
        return v;
    }
    std::optional<std::int32_t> I32() {
        auto v = U32();
        if (!v)
            return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    std::optional<std::int16_t> I16() {
        auto v = U16();
        if (!v)
            return std::nullopt;
        return static_cast<std::int16_t>(*v);
    }
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t n) {
        if (n > Remaining())
            return std::nullopt;
        auto out = bytes_.subspan(pos_, n);
        pos_ += n;
        return out;
    }
    bool Seek(std::size_t offset) {
        if (offset > bytes_.size())
            return false;
        pos_ = offset;
        return true;
    }
    bool Skip(std::size_t n) {
        if (n > Remaining())
            return false;
        pos_ += n;
        return true;
    }
    // A reader over len bytes from offset, with the same byte order.
    std::optional<ByteReader> Sub(std::size_t offset, std::size_t len) const {
        if (offset > bytes_.size() || len > bytes_.size() - offset)
            return std::nullopt;
        return ByteReader(bytes_.subspan(offset, len), order_);
    }
    // Everything from offset to the end.
    std::optional<std::span<const std::uint8_t>> Tail(std::size_t offset) const {
        if (offset > bytes_.size())
            return std::nullopt;
        return bytes_.subspan(offset);
    }

  private:
    std::span<const std::uint8_t> bytes_;
    ByteOrder order_;
    std::size_t pos_ = 0;
};

} // namespace zembra
