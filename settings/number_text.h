// Locale-aware conversion of typed panel texts to single-precision numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The number conventions a conversion uses. Only the decimal separator matters: the panel's
// numbers never carry grouping separators, currency signs or other decoration.
struct NumberLocale {
    std::string decimalSeparator = ".";

    bool operator==(const NumberLocale&) const = default;
};

// The decimal separator of the user's platform locale (the environment's locale, falling back to the
// C library's current locale, then to ".").
NumberLocale platformNumberLocale();

// Converts the whole text to a single-precision number the way the panel reads a typed number:
// surrounding spaces (ASCII space, tab, ideographic space U+3000) are allowed; then an optional sign,
// digits with at most one decimal separator of the given locale (at least one digit in all),
// and an optional exponent ("e" or "E", optional sign, digits). Anything else, an empty text, or a
// value beyond the single-precision range gives no number. "1" and "1.0" convert alike.
std::optional<float> textToSingle(std::string_view text, const NumberLocale& locale);

}  // namespace settings
