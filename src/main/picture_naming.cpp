#include "main/picture_naming.h"

#include "platform/text.h"

#include <algorithm>
#include <string_view>

namespace zembra {

namespace {

// Characters [first, first + count) counting from 1; shorter or empty past the end.
std::string Mid(const std::string& text, std::size_t first, std::size_t count) {
    if (first == 0 || first > text.size())
        return {};
    return text.substr(first - 1, count);
}

void ReplaceFirst(std::string& text, char from, const std::string& to) {
    const auto pos = text.find(from);
    if (pos != std::string::npos)
        text.replace(pos, 1, to);
}

// A date tag is outside input: a folder separator, ".." or a control byte in the
// date part could lead a new name out of its folder or make it unreadable.
bool SafeInFileName(const std::string& text) {
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        return c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    return !control && text.find("..") == std::string::npos;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

DateTaken SplitDateTaken(const std::string& exifDate, int dateFormat) {
    std::string d = exifDate;
    // Position (from 1) of the first blank in the value as read, 0 when none.
    const auto blank = d.find(' ');
    const std::size_t s = blank == std::string::npos ? 0 : blank + 1;
    ReplaceFirst(d, ':', ", ");
    ReplaceFirst(d, ':', "-");

    DateTaken result;
    // The last (length - s) characters: with a blank, the time with the blank before it.
    result.Time = d.substr(std::min(s, d.size()));
    d = d.substr(0, std::min(s, d.size()));

    const std::string cc = Mid(d, 1, 2);
    const std::string yy = Mid(d, 3, 2);
    const std::string mm = Mid(d, 7, 2);
    const std::string dd = Mid(d, 10, 2);
    if (yy.empty())
        return {std::string(), result.Time};

    std::string text;
    switch (dateFormat) {
    case 0:
        text = d;
        break;
    case 2:
        text = cc + yy + "-" + mm + "-" + dd;
        break;
    case 3:
        text = yy + "-" + mm + "-" + dd;
        break;
    case 4:
        text = yy + mm + dd;
        break;
    case 5:
        text = mm + dd + cc + yy;
        break;
    case 6:
        text = mm + "-" + dd + "-" + cc + yy;
        break;
    case 7:
        text = mm + dd + yy;
        break;
    case 8:
        text = mm + "-" + dd + "-" + yy;
        break;
    default:
        text = cc + yy + mm + dd;
        break; // "CCYYMMDD", also with nothing selected
    }
    // Such a date counts as no date at all, so neither part of it reaches a name.
    if (!SafeInFileName(text))
        return {};
    result.DateText = text;
    return result;
}

std::string RunningNumber(int counter) {
    const std::string digits = std::to_string(counter);
    if (counter < 10)
        return "00" + digits;
    if (counter < 100)
        return "0" + digits;
    return digits;
}

std::string TimeStamp(const std::string& time) {
    // Blank-filled or partial times ("  :  :  ", "9:47") are no times.
    const auto first = time.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::string hms = time.substr(first, time.find_last_not_of(' ') + 1 - first);
    constexpr std::string_view kForm = "00:00:00";
    if (hms.size() != kForm.size())
        return {};
    std::string digits;
    for (std::size_t i = 0; i < hms.size(); ++i) {
        if (kForm[i] == ':' ? hms[i] != ':' : !IsDigit(hms[i]))
            return {};
        if (kForm[i] != ':')
            digits += hms[i];
    }
    return digits;
}

PictureNames BuildNames(const NameParts& p) {
    PictureNames names;
    const std::string& x = p.KeepOwnExtension ? p.OrigExt : p.Ext;
    std::string stem; // base name, date and number without folder and extension
    if (p.DateForm)
        stem = p.DateText + (p.BaseName.empty() ? "" : " " + p.BaseName) + "-" + p.NumberSuffix;
    else
        stem = p.BaseName.empty() ? p.NumberSuffix : p.BaseName + "-" + p.NumberSuffix;
    names.NewName = p.Folder + stem + x;
    names.CopyOutputName = p.Folder + "(R)" + stem + p.Ext;
    names.RCopyName = p.Folder + "(R)" + p.FileName;
    if (!p.ConversionPending) {
        names.OriginalOutputName = p.SourcePath;
    } else {
        const auto dot = p.FileName.find_last_of('.');
        const std::string fileStem =
            dot == std::string::npos ? p.FileName : p.FileName.substr(0, dot);
        names.OriginalOutputName = p.Folder + fileStem + p.Ext;
        names.RCopyName = p.Folder + "(R)" + fileStem + p.Ext;
    }
    return names;
}

namespace {

// Where the extension of the path's own name starts: its last '.', or npos when
// the name has none (a dot in a folder's name does not count).
std::size_t ExtensionDot(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return std::string::npos;
    return dot;
}

} // namespace

std::string ExtensionOf(const std::string& path) {
    const auto dot = ExtensionDot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

bool IsSupportedExtension(const std::string& ext) {
    const std::string upper = UCase(ext);
    for (const char* type : {".JPG", ".JPEG", ".GIF", ".BMP", ".TIF", ".TIFF", ".PNG"}) {
        if (upper.find(type) != std::string::npos)
            return true;
    }
    return false;
}

std::string WithDashBeforeExtension(const std::string& name) {
    const auto dot = ExtensionDot(name);
    if (dot == std::string::npos)
        return name + "-";
    return name.substr(0, dot) + "-" + name.substr(dot);
}

} // namespace zembra
