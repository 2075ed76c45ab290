// What a cell shows: Excel's number format codes applied to a value.
#include "automation/ooxml/xls_number_format.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace automation::ooxml::xls {

namespace {

using std::string;
using std::string_view;

// The sections of a format code, split at the semicolons that are not quoted, escaped or bracketed.
std::vector<string> sections(const string& code) {
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
        if (c == '"') quoted = !quoted;
        else if (!quoted && c == '[') ++bracket;
        else if (!quoted && c == ']' && bracket > 0) --bracket;
        if (c == ';' && !quoted && bracket == 0) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

// One piece of a section: a literal text, or a format character (digit placeholder, date letter...).
struct Token {
    enum class Kind { Literal, Code, Bracket } kind;
    string text;
};

bool asciiUpperEquals(string_view a, string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// The UTF-8 length of the character that starts at s[i].
std::size_t charLength(const string& s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return std::min(n, s.size() - i);
}

std::vector<Token> tokenize(const string& section) {
    std::vector<Token> tokens;
    auto literal = [&](const string& text) {
        if (!tokens.empty() && tokens.back().kind == Token::Kind::Literal) tokens.back().text += text;
        else tokens.push_back({Token::Kind::Literal, text});
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
        } else if (c == '_' || c == '*') {
            // Padding to another character's width and fills show nothing in copied text.
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
        } else if (string_view("0#?.,%@").find(c) != string_view::npos) {
            tokens.push_back({Token::Kind::Code, string(1, c)});
            ++i;
        } else if ((c == 'E' || c == 'e') && i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
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

string stripZeros(string s) {
    if (s.find('.') == string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
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

string groupThousands(const string& digits) {
    string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// A section with digit placeholders; v is not negative (the sign is the section's business).
string formatNumber(double v, const std::vector<Token>& tokens) {
    // Where the parts of the number stand.
    int firstDigit = -1, lastDigit = -1, point = -1, exponent = -1;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind != Token::Kind::Code) continue;
        const char c = t.text[0];
        if (c == '0' || c == '#' || c == '?') {
            if (firstDigit < 0) firstDigit = static_cast<int>(i);
            lastDigit = static_cast<int>(i);
        } else if (c == '.' && point < 0 && exponent < 0) {
            point = static_cast<int>(i);
        } else if (c == 'E' && exponent < 0) {
            exponent = static_cast<int>(i);
        }
    }
    const int mantissaEnd = exponent >= 0 ? exponent : static_cast<int>(tokens.size());
    const int integerEnd = point >= 0 ? point : mantissaEnd;
    int minInteger = 0, decimals = 0, optionalDecimals = 0, exponentDigits = 0;
    bool grouping = false;
    int scale = 0;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (t.kind != Token::Kind::Code) continue;
        const char c = t.text[0];
        const bool digit = c == '0' || c == '#' || c == '?';
        if (c == '%') v *= 100;
        if (i < integerEnd) {
            if (c == '0') ++minInteger;
            if (c == ',') {
                if (i > firstDigit && i < lastDigit) grouping = true;
                else if (i > lastDigit || firstDigit < 0) ++scale;
            }
        } else if (i < mantissaEnd) {
            if (digit) {
                ++decimals;
                optionalDecimals = c == '0' ? 0 : optionalDecimals + 1;
            }
        } else if (digit) {
            ++exponentDigits;
        }
    }
    for (int i = 0; i < scale; ++i) v /= 1000;
    int power = 0;
    if (exponent >= 0 && v != 0) {
        power = static_cast<int>(std::floor(std::log10(v)));
        v /= std::pow(10.0, power);
        if (std::stod(fixed(v, decimals)) >= 10) {
            v /= 10;
            ++power;
        }
    }
    string number = fixed(v, decimals);
    string integer = number.substr(0, number.find('.'));
    string fraction = number.find('.') == string::npos ? string() : number.substr(number.find('.') + 1);
    for (int i = 0; i < optionalDecimals && !fraction.empty() && fraction.back() == '0'; ++i) fraction.pop_back();
    if (integer == "0" && minInteger == 0) integer.clear();
    while (static_cast<int>(integer.size()) < minInteger) integer.insert(integer.begin(), '0');
    if (grouping) integer = groupThousands(integer);

    string out;
    bool integerWritten = false;
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (t.kind == Token::Kind::Literal) {
            out += t.text;
            continue;
        }
        if (t.kind == Token::Kind::Bracket) {
            // [$¥-804]: a currency symbol; colours and locales show nothing.
            if (t.text.size() > 1 && t.text[0] == '$') out += t.text.substr(1, t.text.find('-') - 1);
            continue;
        }
        const char c = t.text[0];
        if (c == '%') out += '%';
        else if (i == point) out += '.' + fraction;
        else if (i == exponent) {
            out += 'E';
            if (power < 0) out += '-';
            else if (t.text[1] == '+') out += '+';
            string digits = std::to_string(std::abs(power));
            while (static_cast<int>(digits.size()) < exponentDigits) digits.insert(digits.begin(), '0');
            out += digits;
        } else if ((c == '0' || c == '#' || c == '?') && i < integerEnd && !integerWritten) {
            out += integer;
            integerWritten = true;
        } else if (c == '@') {
            // "@" in a number's section shows the number as General.
            out += general(v);
        }
    }
    if (!integerWritten && firstDigit < 0 && point < 0 && exponent < 0 && out.empty()) return general(v);
    return out;
}

struct DateParts {
    int year = 1900, month = 1, day = 0, weekday = 0;  // weekday 0 = Sunday
    long long hours = 0;                                // of the day
    int minutes = 0, seconds = 0;
    double fraction = 0;    // of a second
    double totalDays = 0;   // for elapsed [h] [m] [s]
};

// Days since 1970-01-01 to a civil date.
void civil(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

DateParts dateParts(double serial, bool date1904, int secondDecimals) {
    DateParts p;
    p.totalDays = serial;
    const double scale = std::pow(10.0, secondDecimals);
    const long long ticks = std::llround(serial * 86400.0 * scale);
    const long long perDay = static_cast<long long>(86400 * scale);
    const long long days = ticks / perDay;
    long long rest = ticks % perDay;
    p.fraction = static_cast<double>(rest % static_cast<long long>(scale)) / scale;
    rest /= static_cast<long long>(scale);
    p.hours = rest / 3600;
    p.minutes = static_cast<int>(rest / 60 % 60);
    p.seconds = static_cast<int>(rest % 60);
    // 1900-01-01 is day 1; Excel counts a 29 February 1900 that never was.
    constexpr long long epoch1900 = -25568;  // 1899-12-31 in days since 1970-01-01
    constexpr long long epoch1904 = -24107;  // 1904-01-01
    if (date1904) {
        civil(epoch1904 + days, p.year, p.month, p.day);
        p.weekday = static_cast<int>(((epoch1904 + days) % 7 + 11) % 7);
    } else if (days == 0) {
        p.year = 1900, p.month = 1, p.day = 0, p.weekday = 6;
    } else if (days == 60) {
        p.year = 1900, p.month = 2, p.day = 29, p.weekday = 3;
    } else {
        const long long z = epoch1900 + days - (days > 60 ? 1 : 0);
        civil(z, p.year, p.month, p.day);
        p.weekday = static_cast<int>((z % 7 + 11) % 7);
    }
    return p;
}

string twoDigits(long long v) { return (v < 10 ? "0" : "") + std::to_string(v); }

string formatDate(double serial, const std::vector<Token>& tokens, bool date1904) {
    static const char* monthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
    static const char* dayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* chineseDays[] = {"日", "一", "二", "三", "四", "五", "六"};
    bool twelveHour = false;
    int secondDecimals = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Kind::Code && (t.text == "AM/PM" || t.text == "A/P" || t.text == "上午/下午")) twelveHour = true;
        if (t.kind == Token::Kind::Code && t.text == "." && i > 0 && tokens[i - 1].text[0] == 's')
            for (std::size_t j = i + 1; j < tokens.size() && tokens[j].text == "0"; ++j) ++secondDecimals;
    }
    const DateParts p = dateParts(serial, date1904, secondDecimals);
    // Whether the m at index i means minutes: right after an hour or right before a second.
    auto minutesAt = [&](std::size_t i) {
        for (std::size_t j = i; j-- > 0;) {
            if (tokens[j].kind == Token::Kind::Literal) continue;
            if (tokens[j].text[0] == 'h' || (tokens[j].kind == Token::Kind::Bracket && tokens[j].text[0] == 'h')) return true;
            break;
        }
        for (std::size_t j = i + 1; j < tokens.size(); ++j) {
            if (tokens[j].kind == Token::Kind::Literal) continue;
            return tokens[j].text[0] == 's';
        }
        return false;
    };
    const long long hour12 = p.hours % 12 == 0 ? 12 : p.hours % 12;
    string out;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const std::size_t n = t.text.size();
        if (t.kind == Token::Kind::Literal) {
            out += t.text;
        } else if (t.kind == Token::Kind::Bracket) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t.text[0])));
            const auto total = static_cast<long long>(std::floor(p.totalDays * 86400 + 0.5));
            if (c == 'h') out += std::to_string(total / 3600);
            else if (c == 'm') out += std::to_string(total / 60);
            else if (c == 's') out += std::to_string(total);
        } else if (t.text[0] == 'y') {
            out += n <= 2 ? twoDigits(p.year % 100) : std::to_string(p.year);
        } else if (t.text[0] == 'm') {
            if (n <= 2 && minutesAt(i)) out += n == 2 ? twoDigits(p.minutes) : std::to_string(p.minutes);
            else if (n == 1) out += std::to_string(p.month);
            else if (n == 2) out += twoDigits(p.month);
            else if (n == 3) out += string(monthNames[p.month - 1]).substr(0, 3);
            else if (n == 4) out += monthNames[p.month - 1];
            else out += monthNames[p.month - 1][0];
        } else if (t.text[0] == 'd') {
            if (n == 1) out += std::to_string(p.day);
            else if (n == 2) out += twoDigits(p.day);
            else if (n == 3) out += string(dayNames[p.weekday]).substr(0, 3);
            else out += dayNames[p.weekday];
        } else if (t.text[0] == 'a') {
            out += (n >= 4 ? "星期" : "") + string(chineseDays[p.weekday]);
        } else if (t.text[0] == 'h') {
            const long long h = twelveHour ? hour12 : p.hours;
            out += n >= 2 ? twoDigits(h) : std::to_string(h);
        } else if (t.text[0] == 's') {
            out += n >= 2 ? twoDigits(p.seconds) : std::to_string(p.seconds);
        } else if (t.text == "AM/PM") {
            out += p.hours < 12 ? "AM" : "PM";
        } else if (t.text == "A/P") {
            out += p.hours < 12 ? "A" : "P";
        } else if (t.text == "上午/下午") {
            out += p.hours < 12 ? "上午" : "下午";
        } else if (t.text == "." && secondDecimals > 0) {
            out += fixed(p.fraction, secondDecimals).substr(1);
            i += static_cast<std::size_t>(secondDecimals);
        } else if (t.text == "General" || t.text == "0" || t.text == "#") {
            out += general(serial);
        } else {
            out += t.text;
        }
    }
    return out;
}

string errorText(int code) {
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    default: return "#N/A";
    }
}

// Conditions such as [>=100] choose sections too; the sections are then taken in order.
bool hasCondition(const std::vector<Token>& tokens) {
    for (const Token& t : tokens)
        if (t.kind == Token::Kind::Bracket && !t.text.empty() && string_view("<>=").find(t.text[0]) != string_view::npos)
            return true;
    return false;
}

string formatSection(double v, const std::vector<Token>& tokens, bool date1904) {
    bool date = false, generalCode = false, placeholders = false;
    for (const Token& t : tokens) {
        date = date || isDateCode(t);
        generalCode = generalCode || (t.kind == Token::Kind::Code && t.text == "General");
        placeholders = placeholders || (t.kind == Token::Kind::Code && string_view("0#?").find(t.text[0]) != string_view::npos);
    }
    if (date) {
        if (v < 0 || v >= 2958466) return "########";  // Excel shows no date outside 1900..9999
        return formatDate(v, tokens, date1904);
    }
    if (generalCode && !placeholders) {
        string out;
        for (const Token& t : tokens)
            out += t.kind == Token::Kind::Literal ? t.text : t.kind == Token::Kind::Code ? general(v) : string();
        return out;
    }
    return formatNumber(v, tokens);
}

}  // namespace

std::string builtinNumberFormat(int id) {
    switch (id) {
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 5: return "\"¥\"#,##0;\"¥\"\\-#,##0";
    case 6: return "\"¥\"#,##0;[Red]\"¥\"\\-#,##0";
    case 7: return "\"¥\"#,##0.00;\"¥\"\\-#,##0.00";
    case 8: return "\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 12: return "# ?/?";
    case 13: return "# ?\?/?\?";
    case 14: return "yyyy/m/d";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "yyyy/m/d h:mm";
    case 27: case 36: case 50: case 52: case 57: return "yyyy\"年\"m\"月\"";
    case 28: case 29: case 51: case 53: case 54: case 58: return "m\"月\"d\"日\"";
    case 30: return "m-d-yy";
    case 31: return "yyyy\"年\"m\"月\"d\"日\"";
    case 32: return "h\"时\"mm\"分\"";
    case 33: return "h\"时\"mm\"分\"ss\"秒\"";
    case 34: case 55: return "上午/下午h\"时\"mm\"分\"";
    case 35: case 56: return "上午/下午h\"时\"mm\"分\"ss\"秒\"";
    case 37: return "#,##0_);(#,##0)";
    case 38: return "#,##0_);[Red](#,##0)";
    case 39: return "#,##0.00_);(#,##0.00)";
    case 40: return "#,##0.00_);[Red](#,##0.00)";
    case 41: return "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)";
    case 42: return "_(\"¥\"* #,##0_);_(\"¥\"* (#,##0);_(\"¥\"* \"-\"_);_(@_)";
    case 43: return "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)";
    case 44: return "_(\"¥\"* #,##0.00_);_(\"¥\"* (#,##0.00);_(\"¥\"* \"-\"?\?_);_(@_)";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mm:ss.0";
    case 48: return "##0.0E+0";
    case 49: return "@";
    default: return "General";
    }
}

std::string displayText(const CellValue& value, const std::string& formatCode, bool date1904) {
    const std::vector<string> parts = sections(formatCode);
    switch (value.kind) {
    case ValueKind::Empty: return {};
    case ValueKind::Boolean: return value.number != 0 ? "TRUE" : "FALSE";
    case ValueKind::Error: return errorText(static_cast<int>(value.number));
    case ValueKind::Text: {
        const string* section = parts.size() >= 4 ? &parts[3] : nullptr;
        if (!section && parts.size() == 1 && parts[0].find('@') != string::npos) section = &parts[0];
        if (!section) return value.text;
        string out;
        for (const Token& t : tokenize(*section))
            out += t.kind == Token::Kind::Literal ? t.text : t.kind == Token::Kind::Code && t.text == "@" ? value.text : string();
        return out;
    }
    case ValueKind::Number: break;
    }
    double v = value.number;
    if (!std::isfinite(v)) return "#NUM!";
    std::vector<std::vector<Token>> tokenized;
    for (std::size_t i = 0; i < parts.size() && i < 3; ++i) tokenized.push_back(tokenize(parts[i]));
    std::size_t pick = 0;
    bool sign = v < 0;
    if (tokenized.size() >= 2 && !hasCondition(tokenized[0])) {
        if (v < 0) {
            pick = 1;
            sign = false;  // the negative section writes its own sign or parentheses
            v = -v;
        } else if (v == 0 && tokenized.size() >= 3) {
            pick = 2;
        }
    }
    if (tokenized[pick].empty()) return {};
    if (!sign) return formatSection(v, tokenized[pick], date1904);
    // A single section shows a minus in front of what it makes of the magnitude; dates have no sign.
    for (const Token& t : tokenized[pick])
        if (isDateCode(t)) return "########";
    string text = "-" + formatSection(-v, tokenized[pick], date1904);
    return text;
}

}  // namespace automation::ooxml::xls
