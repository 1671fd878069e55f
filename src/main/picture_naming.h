#pragma once
// How new picture names are built: the date part from the EXIF date taken, the
// running number or time stamp, and the name forms. Pure functions, no files.

#include <string>

namespace zembra {

// The date the picture was taken, split for naming.
struct DateTaken {
    std::string DateText; // in the chosen date format; empty when there is no date
    std::string Time;     // what follows the first blank of the value, blank included
};

// dateFormat is the index of the date-format list, -1 when nothing is selected.
// A date part holding '/', ".." or a control character gives no date at all.
DateTaken SplitDateTaken(const std::string& exifDate, int dateFormat);

// "001" ... "099", "100", "1000": padded to three digits only.
std::string RunningNumber(int counter);

// HHMMSS from a time part in HH:MM:SS form (blanks around it allowed); empty for
// anything else, which falls back to the running number.
std::string TimeStamp(const std::string& time);

// Full paths of the names a picture may receive.
struct PictureNames {
    std::string NewName;
    std::string CopyOutputName;     // "(R)" copy of the new name
    std::string RCopyName;          // "(R)" copy of the file name
    std::string OriginalOutputName; // output replacing the original
};

struct NameParts {
    std::string Folder;   // up to and including the last '/'
    std::string FileName; // after the last '/'
    std::string Ext;      // target extension, with its dot
    std::string OrigExt;  // the picture's own extension when converting
    std::string BaseName;
    std::string DateText;
    std::string NumberSuffix;
    bool DateForm = false;
    bool ConversionPending = false;
    bool KeepOwnExtension = false; // the renamed original keeps its extension
    std::string SourcePath;
};

PictureNames BuildNames(const NameParts& parts);

// Extension of a path: from the last '.' of its file name to the end; empty when
// the name has no '.', whatever its folders' names hold.
std::string ExtensionOf(const std::string& path);

// Whether the extension names a picture type the run handles.
bool IsSupportedExtension(const std::string& ext);

// name with one '-' inserted before its extension, or added at the end without one.
std::string WithDashBeforeExtension(const std::string& name);

} // namespace zembra
