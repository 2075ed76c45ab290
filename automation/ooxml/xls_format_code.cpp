// Excel's number format codes read into sections of tokens; Excel's rounding and its General format.
#include "automation/ooxml/xls_format_code.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace automation::ooxml::xls {

namespace {

using std::string;
using std::string_view;

bool asciiUpperEquals(string_view a, string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The UTF-8 length of the character that starts at s[i].
std::size_t charLength(const string& s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return std::min(n, s.size() - i);
}

// General as a Chinese Excel writes it into format codes.
constexpr string_view kChineseGeneral = "G/通用格式";

std::vector<Token> tokenize(const string& section) {
    std::vector<Token> tokens;
    auto literal = [&](const string& text) {
        if (!tokens.empty() && tokens.back().kind == Token::Kind::Literal)
            tokens.back().text += text;
        else
            tokens.push_back({Token::Kind::Literal, text});
    };
    for (std::size_t i = 0; i < section.size();) {
        const char c = section[i];
        if (c == '"') {
            const std::size_t end = section.find('"', i + 1);
            literal(section.substr(i + 1, (end == string::npos ? section.size() : end) - i - 1));
            i = end == string::npos ? section.size() : end + 1;
        } else if (c == '\\' && i + 1 < section.size()) {
            const std::size_t n = charLength(section, i + 1);
            literal(section.substr(i + 1, n));
            i += 1 + n;
        } else if (c == '_') {
            // Room as wide as the next character: a space in the text.
            literal(" ");
            i += i + 1 < section.size() ? 1 + charLength(section, i + 1) : 1;
        } else if (c == '*') {
            // Repeats the next character across the cell's width; copied text has none of it.
            i += i + 1 < section.size() ? 1 + charLength(section, i + 1) : 1;
        } else if (c == '[') {
            const std::size_t end = section.find(']', i);
            const string inside = section.substr(i + 1, (end == string::npos ? section.size() : end) - i - 1);
            tokens.push_back({Token::Kind::Bracket, inside});
            i = end == string::npos ? section.size() : end + 1;
        } else if (section.compare(i, 5, "AM/PM") == 0 || section.compare(i, 5, "am/pm") == 0) {
            tokens.push_back({Token::Kind::Code, "AM/PM"});
            i += 5;
        } else if (section.compare(i, 3, "A/P") == 0 || section.compare(i, 3, "a/p") == 0) {
            tokens.push_back({Token::Kind::Code, "A/P"});
            i += 3;
        } else if (section.compare(i, string_view("上午/下午").size(), "上午/下午") == 0) {
            tokens.push_back({Token::Kind::Code, "上午/下午"});
            i += string_view("上午/下午").size();
        } else if (asciiUpperEquals(string_view(section).substr(i, 7), "General")) {
            tokens.push_back({Token::Kind::Code, "General"});
            i += 7;
        } else if (section.compare(i, kChineseGeneral.size(), kChineseGeneral) == 0) {
            tokens.push_back({Token::Kind::Code, "General"});
            i += kChineseGeneral.size();
        } else if (string_view("0#?.,%@/").find(c) != string_view::npos) {
            tokens.push_back({Token::Kind::Code, string(1, c)});
            ++i;
        } else if ((c == 'E' || c == 'e') && i + 1 < section.size() &&
                   (section[i + 1] == '+' || section[i + 1] == '-')) {
            tokens.push_back({Token::Kind::Code, string("E") + section[i + 1]});
            i += 2;
        } else if (string_view("yYmMdDhHsSeEaAbB").find(c) != string_view::npos) {
            // Runs of one date letter: yyyy, mm, ddd, aaaa ...
            const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::size_t j = i;
            while (j < section.size() && std::tolower(static_cast<unsigned char>(section[j])) == lower) ++j;
            if (lower == 'e' || lower == 'b' || (lower == 'a' && j - i < 3)) {
                literal(section.substr(i, j - i));
            } else {
                tokens.push_back({Token::Kind::Code, string(j - i, lower)});
            }
            i = j;
        } else {
            const std::size_t n = charLength(section, i);
            literal(section.substr(i, n));
            i += n;
        }
    }
    return tokens;
}

bool asciiStartsWith(string_view text, string_view prefix) {
    return text.size() >= prefix.size() && asciiUpperEquals(text.substr(0, prefix.size()), prefix);
}

std::optional<Condition> parseCondition(const string& inside) {
    std::size_t n = 0;
    while (n < inside.size() && n < 2 && string_view("<>=").find(inside[n]) != string_view::npos) ++n;
    const string op = inside.substr(0, n);
    if (op != "<" && op != "<=" && op != ">" && op != ">=" && op != "=" && op != "<>") return std::nullopt;
    const char* start = inside.c_str() + n;
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return std::nullopt;
    return Condition{op, value};
}

string stripZeros(string s) {
    if (s.find('.') == string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

bool Condition::holds(double v) const {
    if (op == "<") return v < value;
    if (op == "<=") return v <= value;
    if (op == ">") return v > value;
    if (op == ">=") return v >= value;
    if (op == "=") return v == value;
    return v != value;
}

bool Condition::onlyNegative() const { return (op == "<" && value <= 0) || ((op == "<=" || op == "=") && value < 0); }

Condition Condition::negated() const {
    if (op == "<") return {">=", value};
    if (op == "<=") return {">", value};
    if (op == ">") return {"<=", value};
    if (op == ">=") return {"<", value};
    if (op == "=") return {"<>", value};
    return {"=", value};
}

std::vector<string> splitSections(const string& code) {
    std::vector<string> parts(1);
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (!quoted && c == '\\' && i + 1 < code.size()) {
            parts.back() += code.substr(i, 2);
            ++i;
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '[')
            ++bracket;
        else if (!quoted && c == ']' && bracket > 0)
            --bracket;
        if (c == ';' && !quoted && bracket == 0)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

Section parseSection(const string& text) {
    Section section;
    for (Token& t : tokenize(text)) {
        if (t.kind == Token::Kind::Bracket) {
            if (auto condition = parseCondition(t.text)) {
                section.condition = condition;
                continue;
            }
            if (asciiStartsWith(t.text, "DBNum") && t.text.size() == 6 && (t.text[5] == '1' || t.text[5] == '2'))
                section.chineseNumerals = t.text[5] - '0';
        }
        section.date = section.date || isDateCode(t);
        section.tokens.push_back(std::move(t));
    }
    return section;
}

bool isDateCode(const Token& t) {
    if (t.kind == Token::Kind::Bracket) {
        const string inside = t.text;
        return !inside.empty() && string_view("hHmMsS").find(inside[0]) != string_view::npos &&
               inside.find_first_not_of(inside[0]) == string::npos;
    }
    if (t.kind != Token::Kind::Code) return false;
    const char c = t.text[0];
    return string_view("ymdhsa").find(c) != string_view::npos || t.text == "AM/PM" || t.text == "A/P" ||
           t.text == "上午/下午";
}

// Rounds as Excel does: to fifteen significant digits first, then halves away from zero.
string fixed(double value, int decimals) {
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    double v = std::strtod(buffer.data(), nullptr);
    const double scale = std::pow(10.0, decimals);
    if (std::fabs(v * scale) < 1e15) v = std::round(v * scale) / scale;
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, v);
    return buffer.data();
}

// Excel's General: up to ten significant digits in a cell, scientific beyond 11 digits.
string general(double v) {
    if (v == 0) return "0";
    const double a = std::fabs(v);
    if (a >= 1e11 || a < 1e-9) {
        int exponent = static_cast<int>(std::floor(std::log10(a)));
        double mantissa = v / std::pow(10.0, exponent);
        string m = stripZeros(fixed(mantissa, 5));
        if (m == "10" || m == "-10") {
            ++exponent;
            m = v < 0 ? "-1" : "1";
        }
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return m + e;
    }
    const int integerDigits = a >= 1 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 1;
    return stripZeros(fixed(v, std::max(0, 10 - integerDigits)));
}

}  // namespace automation::ooxml::xls
