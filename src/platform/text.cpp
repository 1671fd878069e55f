#include "platform/text.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace zembra {

namespace {
bool IsContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
} // namespace

std::string UCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string Right(std::string_view text, std::size_t n) {
    return std::string(n >= text.size() ? text : text.substr(text.size() - n));
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        count += IsContinuationByte(c) ? 0 : 1;
    return count;
}

std::string LastChars(std::string_view text, std::size_t n) {
    std::size_t pos = text.size();
    std::size_t taken = 0;
    while (pos > 0 && taken < n) {
        --pos;
        // Step back over the whole character so a sequence is never split.
        while (pos > 0 && IsContinuationByte(static_cast<unsigned char>(text[pos])))
            --pos;
        ++taken;
    }
    return std::string(text.substr(pos));
}

std::string Shortened(std::string_view text, std::size_t limit, std::size_t keep) {
    if (CharCount(text) <= limit)
        return std::string(text);
    return "..." + LastChars(text, keep);
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;
         start = at + separator.size())
        pieces.emplace_back(text.substr(start, at - start));
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsNumeric(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    auto digits = [&] {
        std::size_t start = i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i - start;
    };
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t mantissa = digits();
    if (i < n && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    skipBlanks();
    return i == n;
}

double NumericValue(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

} // namespace zembra
