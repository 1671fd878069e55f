#pragma once
// A decoded EXIF value: nothing (Empty), a number or a text. Read into a
// std::string it gives "" for Empty and the decimal form of a number, so
// `std::string date = reader.Tag(36867);` works whatever the entry held.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace zembra {

class ExifValue {
  public:
    ExifValue() = default; // Empty
    static ExifValue Number(std::int64_t value) { return ExifValue(Storage(value)); }
    static ExifValue Text(std::string value) { return ExifValue(Storage(std::move(value))); }

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsNumber() const { return std::holds_alternative<std::int64_t>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }

    // 0 unless the value is a number.
    std::int64_t AsNumber() const {
        const auto* n = std::get_if<std::int64_t>(&value_);
        return n ? *n : 0;
    }

    std::string ToString() const {
        if (const auto* n = std::get_if<std::int64_t>(&value_))
            return std::to_string(*n);
        if (const auto* s = std::get_if<std::string>(&value_))
            return *s;
        return {};
    }
    operator std::string() const { return ToString(); }

    bool operator==(const ExifValue&) const = default;

  private:
    using Storage = std::variant<std::monostate, std::int64_t, std::string>;
    explicit ExifValue(Storage value) : value_(std::move(value)) {}
    Storage value_;
};

} // namespace zembra
