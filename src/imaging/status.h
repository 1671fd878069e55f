#pragma once
// Status numbers of the imaging calls and the Error event that reports them.
// The numbers are the ones the picture handlers and their logs have always used
// (0 = Ok), so callers may compare with plain numbers too.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zembra {

enum class GpStatus : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// The text of a status number; "Unknown GDI+ Error" for 0 and for numbers outside
// the table.
std::string GdiErrorString(int lError);

// A status together with what failed. `detail` is the codec's or the system's own
// message ("Premature end of JPEG file"), empty when there is none.
struct ImagingError {
    int lGdiError = 0;
    std::string sErrorDesc;
    std::string detail;

    // "Generic Error: Premature end of JPEG file", or only the description.
    std::string Text() const;
};

// The Error event of an imaging object: listeners run in the order they subscribed,
// each time a call fails. Nothing listens by default, so failures are silent.
class ErrorEvent {
  public:
    using Listener = std::function<void(const ImagingError&)>;

    int subscribe(Listener listener);
    void unsubscribe(int token);
    void raise(GpStatus status, std::string detail = {}) const;

  private:
    std::vector<std::pair<int, Listener>> listeners_;
    int nextToken_ = 1;
};

// What the imaging classes do with every library status: 0 clears the last
// error; anything else is kept as the last error and raised as an Error event.
GpStatus PassStatus(GpStatus status, std::string detail, int& lastError, const ErrorEvent& event);

// A status with the message that explains it; what the codecs and helpers return.
struct Failure {
    GpStatus status = GpStatus::GenericError;
    std::string detail;
};

} // namespace zembra

namespace zembra {

// A value or the failure that stands in its place.
template <class T> class Result {
  public:
    Result(T value) : value_(std::move(value)), ok_(true) {}
    Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}

    explicit operator bool() const { return ok_; }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    const Failure& failure() const { return failure_; }

  private:
    std::optional<T> value_;
    Failure failure_;
    bool ok_;
};

} // namespace zembra
