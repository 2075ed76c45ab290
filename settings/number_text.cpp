#include "settings/number_text.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <locale>

namespace settings {

NumberLocale platformNumberLocale() {
    try {
        const std::locale user("");
        const char point = std::use_facet<std::numpunct<char>>(user).decimal_point();
        if (point != '\0') {
            return NumberLocale{std::string(1, point)};
        }
    } catch (const std::exception&) {
        // The environment names a locale this system does not have: use the C library's.
    }
    if (const std::lconv* conventions = std::localeconv();
        conventions != nullptr && conventions->decimal_point != nullptr && conventions->decimal_point[0] != '\0') {
        return NumberLocale{conventions->decimal_point};
    }
    return NumberLocale{};
}

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

std::string_view trimSpaces(std::string_view text) {
    for (;;) {
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
            text.remove_prefix(1);
        } else if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.remove_suffix(1);
        } else if (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
        } else {
            break;
        }
    }
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<float> textToSingle(std::string_view text, const NumberLocale& locale) {
    text = trimSpaces(text);
    const std::string_view separator =
        locale.decimalSeparator.empty() ? std::string_view(".") : std::string_view(locale.decimalSeparator);

    // Rewrite the text into the C form ("-12.5e3") that std::from_chars reads, checking its shape.
    std::string plain;
    plain.reserve(text.size());
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int digits = 0;
    while (at < text.size() && isDigit(text[at])) {
        plain += text[at++];
        ++digits;
    }
    if (text.substr(at).starts_with(separator)) {
        at += separator.size();
        plain += '.';
        while (at < text.size() && isDigit(text[at])) {
            plain += text[at++];
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        plain += 'e';
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            plain += text[at++];
        }
        int exponentDigits = 0;
        while (at < text.size() && isDigit(text[at])) {
            plain += text[at++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (at != text.size()) {
        return std::nullopt;
    }

    double value = 0.0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Either far too large or far too small; only the latter has a value (zero).
        const auto exponentAt = plain.find('e');
        if (exponentAt == std::string::npos || plain.compare(exponentAt, 2, "e-") != 0) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::nullopt;
    }
    const auto single = static_cast<float>(value);
    return negative ? -single : single;
}

}  // namespace settings
