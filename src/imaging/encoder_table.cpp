#include "imaging/encoder_table.h"

#include <algorithm>

namespace zembra {

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

bool EncoderTable::NoCaseLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Upper(x) < Upper(y); });
}

void EncoderTable::AddEncoderPatterns(std::string_view list, std::string_view separator,
                                      int index) {
    std::size_t start = 0;
    if (!separator.empty()) {
        for (auto at = list.find(separator); at != std::string_view::npos;
             at = list.find(separator, start)) {
            patterns_.insert_or_assign(std::string(list.substr(start, at - start)), index);
            start = at + separator.size();
        }
    }
    const auto rest = TrimSpaces(list.substr(start));
    if (!rest.empty())
        patterns_.insert_or_assign(std::string(rest), index);
}

int EncoderTable::EncoderIndex(std::string_view pattern) const {
    const auto it = patterns_.find(pattern);
    return it == patterns_.end() ? -1 : it->second;
}

std::string FileExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const auto rest = fileName.substr(dot + 1);
    if (rest.find('/') != std::string_view::npos)
        return {};
    return std::string(rest);
}

} // namespace zembra
