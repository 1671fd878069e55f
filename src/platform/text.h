#pragma once
// Text helpers with the semantics the handlers were written against. Texts are
// UTF-8; lengths and positions that users see count characters, not bytes.

#include <string>
#include <string_view>
#include <vector>

namespace zembra {

// Upper case of ASCII letters; other characters are kept.
std::string UCase(std::string_view text);

// Last n bytes (all of text when shorter). For ASCII suffixes such as ".JPEG".
std::string Right(std::string_view text, std::size_t n);

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view text);

// The last n characters of text, never splitting a character.
std::string LastChars(std::string_view text, std::size_t n);

// "..." followed by the last `keep` characters when text has more than `limit`.
std::string Shortened(std::string_view text, std::size_t limit, std::size_t keep);

// The pieces between the separators; empty pieces are kept.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Part of a path after its last '/', the whole path when it has none.
std::string FileNamePart(std::string_view path);

// A whole number or decimal, with optional sign, decimal point and exponent,
// surrounded by optional blanks: the texts a numeric field accepts.
bool IsNumeric(std::string_view text);

// The value of a text that IsNumeric accepts.
double NumericValue(std::string_view text);

} // namespace zembra
