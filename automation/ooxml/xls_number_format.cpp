// What a cell shows: Excel's number format codes applied to a value.
#include "automation/ooxml/xls_number_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/ooxml/xls_format_code.h"

namespace automation::ooxml::xls {

namespace {

using std::string;
using std::string_view;

bool isPlaceholder(const Token& t) {
    return t.kind == Token::Kind::Code && (t.text == "0" || t.text == "#" || t.text == "?");
}
bool isCode(const Token& t, string_view code) { return t.kind == Token::Kind::Code && t.text == code; }

// What a placeholder shows where the number has no digit for it: 0 a zero, ? a space, # nothing.
string filler(const Token& placeholder) { return placeholder.text == "0" ? "0" : placeholder.text == "?" ? " " : ""; }

// Digits right-aligned over placeholders: each takes one digit from the right, the first also the digits
// left over; one text per placeholder.
std::vector<string> alignRight(const string& digits, const std::vector<const Token*>& placeholders) {
    const std::size_t n = placeholders.size();
    std::vector<string> slots(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t slot = n - 1 - k;
        slots[slot] = k < digits.size() ? string(1, digits[digits.size() - 1 - k]) : filler(*placeholders[slot]);
    }
    if (n > 0 && digits.size() > n) slots[0] = digits.substr(0, digits.size() - n) + slots[0];
    return slots;
}

// Digits left-aligned over placeholders, the last one taking the digits left over.
std::vector<string> alignLeft(const string& digits, const std::vector<const Token*>& placeholders) {
    const std::size_t n = placeholders.size();
    std::vector<string> slots(n);
    for (std::size_t i = 0; i < n; ++i) slots[i] = i < digits.size() ? string(1, digits[i]) : filler(*placeholders[i]);
    if (n > 0 && digits.size() > n) slots[n - 1] += digits.substr(n);
    return slots;
}

// Thousands separators between the digits of the integer slots, counted from the right.
void groupThousands(std::vector<string>& slots) {
    int digits = 0;
    for (std::size_t s = slots.size(); s-- > 0;) {
        string grouped;
        for (std::size_t i = slots[s].size(); i-- > 0;) {
            const char c = slots[s][i];
            if (c >= '0' && c <= '9') {
                if (digits > 0 && digits % 3 == 0) grouped.insert(grouped.begin(), ',');
                ++digits;
            }
            grouped.insert(grouped.begin(), c);
        }
        slots[s] = std::move(grouped);
    }
}

// [$¥-804] shows its currency symbol; colours, locales and [DBNum1] show nothing.
string bracketText(const Token& t) {
    if (t.text.size() > 1 && t.text[0] == '$') return t.text.substr(1, t.text.find('-') - 1);
    return {};
}

// A section of digit placeholders: integer digits (with thousands separators), decimals, percent,
// scaling by thousands, scientific notation, and literals anywhere between them. v is not negative.
string formatPlaceholders(double v, const std::vector<Token>& tokens) {
    const int size = static_cast<int>(tokens.size());
    int point = -1, exponent = -1;
    for (int i = 0; i < size; ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (isCode(t, ".") && point < 0 && exponent < 0) point = i;
        if (t.kind == Token::Kind::Code && t.text[0] == 'E' && exponent < 0) exponent = i;
    }
    const int mantissaEnd = exponent >= 0 ? exponent : size;
    const int integerEnd = point >= 0 ? point : mantissaEnd;
    std::vector<const Token*> integer, decimals, exponentDigits;
    int firstDigit = -1, lastMantissaDigit = -1;
    for (int i = 0; i < size; ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (isCode(t, "%")) v *= 100;
        if (!isPlaceholder(t)) continue;
        if (i < integerEnd)
            integer.push_back(&t);
        else if (i < mantissaEnd)
            decimals.push_back(&t);
        else
            exponentDigits.push_back(&t);
        if (firstDigit < 0) firstDigit = i;
        if (i < mantissaEnd) lastMantissaDigit = i;
    }
    // A comma between integer placeholders groups thousands; commas after the last digit scale by 1000.
    bool grouping = false;
    int scale = 0;
    for (int i = 0; i < mantissaEnd; ++i) {
        if (!isCode(tokens[static_cast<std::size_t>(i)], ",")) continue;
        if (i > lastMantissaDigit && lastMantissaDigit >= 0)
            ++scale;
        else if (i < integerEnd && firstDigit >= 0 && i > firstDigit)
            grouping = true;
    }
    for (int i = 0; i < scale; ++i) v /= 1000;

    const int places = static_cast<int>(decimals.size());
    int power = 0;
    if (exponent >= 0 && v != 0) {
        // With # among several integer placeholders the exponent is a multiple of their number
        // (engineering notation); otherwise the mantissa fills the integer placeholders.
        const int width = std::max(1, static_cast<int>(integer.size()));
        const bool engineering =
            width > 1 && std::any_of(integer.begin(), integer.end(), [](const Token* t) { return t->text == "#"; });
        const int magnitude = static_cast<int>(std::floor(std::log10(v)));
        power = engineering ? static_cast<int>(std::floor(magnitude / static_cast<double>(width))) * width
                            : magnitude - (width - 1);
        v /= std::pow(10.0, power);
        if (std::stod(fixed(v, places)) >= std::pow(10.0, width)) {
            const int step = engineering ? width : 1;
            v /= std::pow(10.0, step);
            power += step;
        }
    }
    const string number = fixed(v, places);
    const std::size_t dot = number.find('.');
    string integerDigits = number.substr(0, dot);
    if (integerDigits == "0") integerDigits.clear();  // a zero integer part shows through 0 placeholders only
    std::vector<string> integerSlots = alignRight(integerDigits, integer);
    if (grouping) groupThousands(integerSlots);
    std::vector<string> decimalSlots = alignLeft(dot == string::npos ? string() : number.substr(dot + 1), decimals);
    // Trailing zeros of the decimals vanish under # and become spaces under ?.
    for (std::size_t i = decimalSlots.size(); i-- > 0 && decimalSlots[i] == "0";) {
        if (decimals[i]->text == "0") break;
        decimalSlots[i] = decimals[i]->text == "?" ? " " : "";
    }
    const std::vector<string> exponentSlots = alignRight(std::to_string(std::abs(power)), exponentDigits);

    string out;
    std::size_t nextInteger = 0, nextDecimal = 0, nextExponent = 0;
    for (int i = 0; i < size; ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (t.kind == Token::Kind::Literal) {
            out += t.text;
        } else if (t.kind == Token::Kind::Bracket) {
            out += bracketText(t);
        } else if (isPlaceholder(t)) {
            out += i < integerEnd    ? integerSlots[nextInteger++]
                   : i < mantissaEnd ? decimalSlots[nextDecimal++]
                                     : exponentSlots[nextExponent++];
        } else if (i == point) {
            if (integer.empty()) out += integerDigits;  // ".00" still shows the integer part
            out += '.';
        } else if (i == exponent) {
            out += 'E';
            out += power < 0 ? "-" : t.text[1] == '+' ? "+" : "";
        } else if (t.text == "%" || t.text == "/") {
            out += t.text;
        } else if (t.text == "@" || t.text == "General") {
            out += general(v);
        } else if (t.text == ".") {
            out += '.';
        }
    }
    return out;
}

// The fraction nearest to x (not negative) whose denominator is at most maxDenominator: the last
// convergent of x's continued fraction within the bound, or the best semiconvergent after it.
std::pair<long long, long long> nearestFraction(double x, long long maxDenominator) {
    long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double rest = x;
    for (int i = 0; i < 64; ++i) {
        const double whole = std::floor(rest);
        const auto a = static_cast<long long>(whole);
        if (q0 + a * q1 > maxDenominator) {
            const long long k = (maxDenominator - q0) / q1;
            const long long p = p0 + k * p1, q = q0 + k * q1;
            if (std::fabs(x - static_cast<double>(p) / static_cast<double>(q)) <
                std::fabs(x - static_cast<double>(p1) / static_cast<double>(q1)))
                return {p, q};
            break;
        }
        const long long p2 = p0 + a * p1, q2 = q0 + a * q1;
        p0 = p1, q0 = q1, p1 = p2, q1 = q2;
        if (rest - whole < 1e-9) break;
        rest = 1 / (rest - whole);
        if (rest > 1e12) break;
    }
    return {p1, q1};
}

// Where a section's fraction slash stands: a "/" right after a digit placeholder and before one, or
// before a fixed denominator ("# ?/4"); -1 when the section has no fraction.
int fractionSlash(const std::vector<Token>& tokens) {
    for (std::size_t i = 1; i + 1 < tokens.size(); ++i) {
        if (!isCode(tokens[i], "/") || !isPlaceholder(tokens[i - 1])) continue;
        const Token& next = tokens[i + 1];
        if (isPlaceholder(next) || (next.kind == Token::Kind::Literal && next.text[0] >= '1' && next.text[0] <= '9'))
            return static_cast<int>(i);
    }
    return -1;
}

// A fraction: "# ?/?" shows 1.25 as "1 1/4", "?/?" as "5/4", "# ?/8" in eighths. With an integer part a
// whole number leaves the fraction's room blank. v is not negative.
string formatFraction(double v, const std::vector<Token>& tokens, std::size_t slash) {
    std::size_t numeratorStart = slash;
    while (numeratorStart > 0 && isPlaceholder(tokens[numeratorStart - 1])) --numeratorStart;
    std::vector<const Token*> integer, numerator, denominator;
    for (std::size_t i = 0; i < numeratorStart; ++i)
        if (isPlaceholder(tokens[i])) integer.push_back(&tokens[i]);
    for (std::size_t i = numeratorStart; i < slash; ++i) numerator.push_back(&tokens[i]);
    std::size_t end = slash + 1;
    while (end < tokens.size() && isPlaceholder(tokens[end])) denominator.push_back(&tokens[end++]);
    long long fixedDenominator = 0;
    string fixedText, afterFixed;
    if (denominator.empty()) {
        const string& literal = tokens[end].text;
        const std::size_t digits = std::min<std::size_t>(literal.find_first_not_of("0123456789"), 6);
        fixedText = literal.substr(0, std::min(digits, literal.size()));
        afterFixed = literal.substr(fixedText.size());
        fixedDenominator = std::stoll(fixedText);
        ++end;
    }

    const bool withInteger = !integer.empty();
    // Numerators stay within 64 bits: denominators have at most six digits, values without an integer
    // part stay below 10^12.
    if (v >= 1e15 || (!withInteger && v >= 1e12)) return general(v);
    double whole = withInteger ? std::floor(v) : 0;
    const double rest = v - whole;
    long long top = 0, bottom = 1;
    if (fixedDenominator > 0) {
        bottom = fixedDenominator;
        top = std::llround(rest * static_cast<double>(bottom));
    } else {
        const int width = std::min<int>(static_cast<int>(denominator.size()), 6);
        std::tie(top, bottom) = nearestFraction(rest, static_cast<long long>(std::pow(10, width)) - 1);
    }
    if (withInteger && top >= bottom) {
        whole += 1;
        top = 0;
    }
    const bool blank = withInteger && top == 0;  // a whole number: spaces where the fraction would stand
    string wholeDigits = whole > 0 ? fixed(whole, 0) : string();
    if (blank && wholeDigits.empty()) wholeDigits = "0";
    const std::vector<string> integerSlots = alignRight(wholeDigits, integer);
    const std::vector<string> numeratorSlots = alignRight(std::to_string(top), numerator);
    const std::vector<string> denominatorSlots = alignLeft(std::to_string(bottom), denominator);

    string out, fraction;
    std::size_t nextInteger = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (i >= numeratorStart && i < end) {
            if (i < slash)
                fraction += numeratorSlots[i - numeratorStart];
            else if (i == slash)
                fraction += '/';
            else
                fraction += denominator.empty() ? fixedText : denominatorSlots[i - slash - 1];
            if (i + 1 == end) {
                out += blank ? string(fraction.size(), ' ') : fraction;
                out += afterFixed;
            }
        } else if (t.kind == Token::Kind::Literal) {
            out += t.text;
        } else if (t.kind == Token::Kind::Bracket) {
            out += bracketText(t);
        } else if (isPlaceholder(t)) {
            out += i < numeratorStart ? integerSlots[nextInteger++] : filler(t);  // digits after the fraction: none
        } else if (t.text == "%" || t.text == "." || t.text == "/") {
            out += t.text;
        }
    }
    return out;
}

// Chinese numerals of [DBNum1] (一百二十三) and [DBNum2] (壹佰贰拾叁): the integer part read with its
// units, every other digit one by one.
string chineseNumerals(const string& text, int style) {
    static constexpr std::array<const char*, 10> plain = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static constexpr std::array<const char*, 10> formal = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    static constexpr std::array<const char*, 4> plainUnits = {"", "十", "百", "千"};
    static constexpr std::array<const char*, 4> formalUnits = {"", "拾", "佰", "仟"};
    static constexpr std::array<const char*, 4> groups = {"", "万", "亿", "兆"};
    const auto& digit = style == 2 ? formal : plain;
    const auto& unit = style == 2 ? formalUnits : plainUnits;
    auto read = [&](const string& digits) {
        if (digits.size() > 16 || digits.find_first_not_of('0') == string::npos) {
            string out;
            for (char c : digits) out += digit[static_cast<std::size_t>(c - '0')];
            return out;
        }
        string out;
        bool zero = false;  // a zero to say before the next digit
        for (std::size_t i = digits.find_first_not_of('0'); i < digits.size(); ++i) {
            const std::size_t place = digits.size() - 1 - i;
            const int d = digits[i] - '0';
            if (d == 0) {
                zero = true;
            } else {
                if (zero) out += digit[0];
                zero = false;
                // 十二, not 一十二; 壹拾贰 keeps its one.
                if (!(style == 1 && d == 1 && place % 4 == 1 && out.empty())) out += digit[static_cast<std::size_t>(d)];
                out += unit[place % 4];
            }
            if (place % 4 == 0 && place > 0 &&
                digits.compare(i < 3 ? 0 : i - 3, std::min<std::size_t>(i + 1, 4),
                               string(std::min<std::size_t>(i + 1, 4), '0')) != 0) {
                out += groups[place / 4];
                zero = false;
            }
        }
        return out;
    };
    string out, run;
    bool integerRead = false;
    auto flush = [&] {
        if (run.empty()) return;
        if (!integerRead) {
            out += read(run);
            integerRead = true;
        } else {
            for (char c : run) out += digit[static_cast<std::size_t>(c - '0')];
        }
        run.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            run += c;
        } else if (c == ',' && !run.empty() && !integerRead) {
            continue;  // thousands separators inside the integer part
        } else {
            flush();
            if (c == '.') integerRead = true;
            out += c;
        }
    }
    flush();
    return out;
}

string formatNumberSection(double v, const Section& section) {
    const std::vector<Token>& tokens = section.tokens;
    const bool generalCode =
        std::any_of(tokens.begin(), tokens.end(), [](const Token& t) { return isCode(t, "General"); });
    const bool placeholders = std::any_of(tokens.begin(), tokens.end(), isPlaceholder);
    // A section of nothing but a colour or a condition shows the number as General.
    const bool bracketsOnly =
        std::all_of(tokens.begin(), tokens.end(), [](const Token& t) { return t.kind == Token::Kind::Bracket; });
    string text;
    if (bracketsOnly) {
        for (const Token& t : tokens) text += bracketText(t);
        text += general(v);
    } else if (generalCode && !placeholders) {
        for (const Token& t : tokens)
            text += t.kind == Token::Kind::Literal   ? t.text
                    : t.kind == Token::Kind::Bracket ? bracketText(t)
                    : t.text == "General"            ? general(v)
                                                     : string();
    } else if (const int slash = fractionSlash(tokens); slash >= 0) {
        text = formatFraction(v, tokens, static_cast<std::size_t>(slash));
    } else {
        text = formatPlaceholders(v, tokens);
    }
    return section.chineseNumerals ? chineseNumerals(text, section.chineseNumerals) : text;
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

// The section a number takes, and whether its minus sign shows. Without conditions: one section for all
// numbers (with their sign); two for positive and zero, and negative; three for positive, negative and
// zero. With conditions ([>=100]) the first two sections take the numbers their conditions hold for and
// the third the rest. A section whose condition only negative numbers meet shows them without a sign,
// as the negative section does.
struct Choice {
    const Section* section;
    bool showSign;
};

Choice choose(const std::vector<Section>& sections, double v) {
    const std::size_t n = sections.size();
    if (!sections[0].condition && (n < 2 || !sections[1].condition)) {
        if (n == 1 || v > 0 || (v == 0 && n == 2)) return {&sections[0], true};
        if (v < 0) return {&sections[1], false};
        return {&sections[2], true};
    }
    const Condition first = sections[0].condition.value_or(Condition{n > 2 ? ">" : ">=", 0});
    if (n == 1 || first.holds(v)) return {&sections[0], !first.onlyNegative()};
    const Condition second = sections[1].condition.value_or(n > 2 ? Condition{"<", 0} : first.negated());
    if (n == 2 || second.holds(v)) return {&sections[1], !second.onlyNegative()};
    return {&sections[2], true};
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
        case 27:
        case 36:
        case 50:
        case 52:
        case 57: return "yyyy\"年\"m\"月\"";
        case 28:
        case 29:
        case 51:
        case 53:
        case 54:
        case 58: return "m\"月\"d\"日\"";
        case 30: return "m-d-yy";
        case 31: return "yyyy\"年\"m\"月\"d\"日\"";
        case 32: return "h\"时\"mm\"分\"";
        case 33: return "h\"时\"mm\"分\"ss\"秒\"";
        case 34:
        case 55: return "上午/下午h\"时\"mm\"分\"";
        case 35:
        case 56: return "上午/下午h\"时\"mm\"分\"ss\"秒\"";
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
    const std::vector<string> parts = splitSections(formatCode);
    switch (value.kind) {
        case ValueKind::Empty: return {};
        case ValueKind::Boolean: return value.number != 0 ? "TRUE" : "FALSE";
        case ValueKind::Error: return errorText(static_cast<int>(value.number));
        case ValueKind::Text: {
            // The fourth section shows text; a single section only when it holds "@".
            const string* section = parts.size() >= 4 ? &parts[3] : nullptr;
            if (!section && parts.size() == 1 && parts[0].find('@') != string::npos) section = &parts[0];
            if (!section) return value.text;
            string out;
            for (const Token& t : parseSection(*section).tokens)
                out += t.kind == Token::Kind::Literal   ? t.text
                       : t.kind == Token::Kind::Bracket ? bracketText(t)
                       : t.text == "@"                  ? value.text
                                                        : string();
            return out;
        }
        case ValueKind::Number: break;
    }
    const double v = value.number;
    if (!std::isfinite(v)) return "#NUM!";
    std::vector<Section> sections;
    for (std::size_t i = 0; i < parts.size() && i < 3; ++i) sections.push_back(parseSection(parts[i]));
    const Choice choice = choose(sections, v);
    const Section& section = *choice.section;
    if (section.tokens.empty() && !section.condition) return {};  // an empty section hides the number
    if (section.date) {
        if (v < 0 || v >= 2958466) return "########";  // Excel shows no date outside 1900..9999
        return formatDate(v, section.tokens, date1904);
    }
    const string text = formatNumberSection(std::fabs(v), section);
    return choice.showSign && v < 0 ? "-" + text : text;
}

}  // namespace automation::ooxml::xls
