#pragma once
// A bounds-checked reader over untrusted bytes (EXIF blocks, JPEG segments, BMP
// headers). Every read can fail and says so in its result; nothing hands out a
// pointer past the end. Checks are written as `n <= size - pos`, which cannot
// wrap, and positions are 64-bit so an offset taken from a file plus a base
// never wraps either. A failed read does not move the position.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zembra {

// Little is the "II" (Intel) order of EXIF blocks and BMP files, Big the "MM"
// (Motorola) order of EXIF blocks and JPEG segments.
enum class ByteOrder { Little, Big };

class ByteReader {
  public:
    ByteReader(std::span<const std::uint8_t> bytes, ByteOrder order)
        : bytes_(bytes), order_(order) {}

    std::size_t Size() const { return bytes_.size(); }
    std::uint64_t Pos() const { return pos_; }
    ByteOrder Order() const { return order_; }

    // True when `n` bytes are available at `pos`.
    bool Has(std::uint64_t pos, std::uint64_t n) const {
        return pos <= bytes_.size() && n <= bytes_.size() - pos;
    }

    // The end of the bytes is a valid position; anything beyond is not.
    bool Seek(std::uint64_t pos) {
        if (pos > bytes_.size())
            return false;
        pos_ = pos;
        return true;
    }

    // [SECTION] Reads at a position; the current position does not move.

    std::optional<std::span<const std::uint8_t>> Sub(std::uint64_t pos, std::uint64_t n) const {
        if (!Has(pos, n))
            return std::nullopt;
        return bytes_.subspan(static_cast<std::size_t>(pos), static_cast<std::size_t>(n));
    }
    // Everything from pos to the end.
    std::optional<std::span<const std::uint8_t>> Tail(std::uint64_t pos) const {
        if (pos > bytes_.size())
            return std::nullopt;
        return bytes_.subspan(static_cast<std::size_t>(pos));
    }

    // An unsigned number of n (1..8) bytes at pos, in the reader's byte order.
    std::optional<std::uint64_t> UIntAt(std::uint64_t pos, std::size_t n) const {
        if (n == 0 || n > 8 || !Has(pos, n))
            return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t k = order_ == ByteOrder::Little ? n - 1 - i : i;
            value = (value << 8) | bytes_[static_cast<std::size_t>(pos) + k];
        }
        return value;
    }

    // The same bytes read as a two's-complement number of n bytes.
    std::optional<std::int64_t> IntAt(std::uint64_t pos, std::size_t n) const {
        const auto raw = UIntAt(pos, n);
        if (!raw)
            return std::nullopt;
        if (n == 8)
            return static_cast<std::int64_t>(*raw);
        const std::uint64_t sign = std::uint64_t{1} << (8 * n - 1);
        return static_cast<std::int64_t>(*raw ^ sign) - static_cast<std::int64_t>(sign);
    }

    std::optional<std::uint8_t> U8At(std::uint64_t pos) const {
        if (!Has(pos, 1))
            return std::nullopt;
        return bytes_[static_cast<std::size_t>(pos)];
    }
    std::optional<std::uint16_t> U16At(std::uint64_t pos) const {
        return Narrow<std::uint16_t>(UIntAt(pos, 2));
    }
    std::optional<std::uint32_t> U32At(std::uint64_t pos) const {
        return Narrow<std::uint32_t>(UIntAt(pos, 4));
    }
    std::optional<std::int32_t> I32At(std::uint64_t pos) const {
        return Narrow<std::int32_t>(IntAt(pos, 4));
    }

    // [SECTION] Sequential reads from the current position.

    std::optional<std::uint8_t> U8() { return Advance(U8At(pos_), 1); }
    std::optional<std::uint16_t> U16() { return Advance(U16At(pos_), 2); }
    std::optional<std::uint32_t> U32() { return Advance(U32At(pos_), 4); }
    std::optional<std::int32_t> I32() { return Advance(I32At(pos_), 4); }
    std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t n) {
        return Advance(Sub(pos_, n), n);
    }

  private:
    template <class T, class Wide> static std::optional<T> Narrow(std::optional<Wide> v) {
        return v ? std::optional<T>(static_cast<T>(*v)) : std::nullopt;
    }
    template <class T> std::optional<T> Advance(std::optional<T> value, std::uint64_t n) {
        if (value)
            pos_ += n;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    ByteOrder order_;
    std::uint64_t pos_ = 0;
};

} // namespace zembra
