#pragma once
// Failures of the EXIF classes carry a number, the member that raised them and a
// description, like the runtime errors their callers were written against.
// Callers that ignore failures catch PlatformError (or std::exception).

#include <string>

#include "platform/steps.h"

namespace zembra {

class ExifError : public PlatformError {
  public:
    ExifError(int number, std::string source, const std::string& description)
        : PlatformError(number, description), source_(std::move(source)),
          description_(description) {}
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

  private:
    std::string source_;
    std::string description_;
};

namespace exif_errors {
// clsEXIF's own vocabulary.
inline constexpr int kFileNotFound = 2; // "File not found."
inline constexpr int kNotExif = 10;     // "File is not in EXIF format."
inline constexpr int kParse = 11;       // "Error parsing the file."
// Runtime numbers for failures that have no message of their own (and
// kOverflow, 6, from platform/steps.h).
inline constexpr int kSubscript = 9;        // "Subscript out of range"
inline constexpr int kBadFileName = 52;     // "Bad file name or number"
inline constexpr int kRuntimeNotFound = 53; // "File not found"
inline constexpr int kPathAccess = 75;      // "Path/File access error"

inline constexpr const char* kFileNotFoundText = "File not found.";
inline constexpr const char* kNotExifText = "File is not in EXIF format.";
inline constexpr const char* kParseText = "Error parsing the file.";
} // namespace exif_errors

} // namespace zembra
