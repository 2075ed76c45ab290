// The pieces of an Excel number format code, as the number and the date formatting read them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace automation::ooxml::xls {

// One piece of a section: a literal text, a format character (digit placeholder, "/", date letter, General),
// or what stands in brackets without them ([Red], [>=100], [$¥-804], [h], [DBNum1]).
struct Token {
    enum class Kind { Literal, Code, Bracket } kind;
    std::string text;
};

// A comparison that chooses a section: [>=100], [<0], [<>5].
struct Condition {
    std::string op;  // <, <=, >, >=, =, <>
    double value = 0;

    bool holds(double v) const;
    // Whether only negative numbers meet it: Excel then shows them without their minus sign.
    bool onlyNegative() const;
    // The condition that holds where this one does not.
    Condition negated() const;
};

struct Section {
    std::vector<Token> tokens;
    std::optional<Condition> condition;
    int chineseNumerals = 0;  // [DBNum1] 一二三, [DBNum2] 壹贰叁; 0 for Arabic digits
    bool date = false;        // date or time letters: the value is a date serial
};

// The sections of a format code, split at the semicolons that are not quoted, escaped or bracketed.
std::vector<std::string> splitSections(const std::string& code);
Section parseSection(const std::string& text);

bool isDateCode(const Token& t);

// Rounds as Excel does: to fifteen significant digits first, then halves away from zero.
std::string fixed(double value, int decimals);
// Excel's General: up to ten significant digits in a cell, scientific beyond 11 digits.
std::string general(double v);

// A date section's text for a serial (not negative) in the 1900 or the 1904 date system.
std::string formatDate(double serial, const std::vector<Token>& tokens, bool date1904);

}  // namespace automation::ooxml::xls
