// Dates and times as Excel shows them: date serials in the 1900 or the 1904 date system under the date
// and time letters of a format section.
#include <cmath>
#include <string_view>

#include "automation/ooxml/xls_format_code.h"

namespace automation::ooxml::xls {

namespace {

using std::string;

struct DateParts {
    int year = 1900, month = 1, day = 0, weekday = 0;  // weekday 0 = Sunday
    long long hours = 0;                               // of the day
    int minutes = 0, seconds = 0;
    double fraction = 0;   // of a second
    double totalDays = 0;  // for elapsed [h] [m] [s]
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

}  // namespace

string formatDate(double serial, const std::vector<Token>& tokens, bool date1904) {
    static const char* monthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
    static const char* dayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* chineseDays[] = {"日", "一", "二", "三", "四", "五", "六"};
    bool twelveHour = false;
    int secondDecimals = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Kind::Code && (t.text == "AM/PM" || t.text == "A/P" || t.text == "上午/下午"))
            twelveHour = true;
        if (t.kind == Token::Kind::Code && t.text == "." && i > 0 && tokens[i - 1].text[0] == 's')
            for (std::size_t j = i + 1; j < tokens.size() && tokens[j].text == "0" && secondDecimals < 3; ++j)
                ++secondDecimals;
    }
    const DateParts p = dateParts(serial, date1904, secondDecimals);
    // Whether the m at index i means minutes: right after an hour or right before a second.
    auto minutesAt = [&](std::size_t i) {
        for (std::size_t j = i; j-- > 0;) {
            if (tokens[j].kind == Token::Kind::Literal) continue;
            if (tokens[j].text[0] == 'h' || (tokens[j].kind == Token::Kind::Bracket && tokens[j].text[0] == 'h'))
                return true;
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
            if (c == 'h')
                out += std::to_string(total / 3600);
            else if (c == 'm')
                out += std::to_string(total / 60);
            else if (c == 's')
                out += std::to_string(total);
        } else if (t.text[0] == 'y') {
            out += n <= 2 ? twoDigits(p.year % 100) : std::to_string(p.year);
        } else if (t.text[0] == 'm') {
            if (n <= 2 && minutesAt(i))
                out += n == 2 ? twoDigits(p.minutes) : std::to_string(p.minutes);
            else if (n == 1)
                out += std::to_string(p.month);
            else if (n == 2)
                out += twoDigits(p.month);
            else if (n == 3)
                out += string(monthNames[p.month - 1]).substr(0, 3);
            else if (n == 4)
                out += monthNames[p.month - 1];
            else
                out += monthNames[p.month - 1][0];
        } else if (t.text[0] == 'd') {
            if (n == 1)
                out += std::to_string(p.day);
            else if (n == 2)
                out += twoDigits(p.day);
            else if (n == 3)
                out += string(dayNames[p.weekday]).substr(0, 3);
            else
                out += dayNames[p.weekday];
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

}  // namespace automation::ooxml::xls
