#pragma once
// Handlers that "ignore failures step by step" run each step through Step():
// a step that throws is left out and the next one runs.

#include <exception>
#include <stdexcept>
#include <string>

namespace zembra {

// A failure of a platform call, with the error number that identifies its kind.
class PlatformError : public std::runtime_error {
  public:
    PlatformError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }

  private:
    int number_;
};

inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kInvalidArrayIndex = 381;
inline constexpr int kOverflow = 6;

template <class Fn> void Step(Fn&& step) noexcept {
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace zembra
