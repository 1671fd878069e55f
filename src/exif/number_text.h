#pragma once
// Numbers as the EXIF display texts show them.

#include <string>
#include <string_view>

namespace zembra::exif {

// The leading number of a text, 0 when there is none: blanks are skipped, an
// optional sign, digits with an optional point and exponent; parsing stops at
// the first character that cannot continue the number ("12ab" is 12).
double LeadingNumber(std::string_view text);

// A whole number without decimals, anything else with up to 15 significant
// digits ("2", "0.5", "1E+20").
std::string NumberText(double value);

// Fixed-point with `decimals` places, rounded to nearest; never "-0.0".
std::string Fixed(double value, int decimals);

} // namespace zembra::exif
