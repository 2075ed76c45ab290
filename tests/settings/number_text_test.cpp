#include "settings/number_text.h"

#include <gtest/gtest.h>

namespace {

using settings::NumberLocale;
using settings::textToSingle;

const NumberLocale kPoint{"."};
const NumberLocale kComma{","};

TEST(NumberText, TypedIntegerConvertsLikeTheItemWithDecimals) {
    EXPECT_EQ(textToSingle("1", kPoint), textToSingle("1.0", kPoint));
    EXPECT_EQ(textToSingle("1", kPoint), 1.0F);
    EXPECT_EQ(textToSingle("0.55", kPoint), 0.55F);
    EXPECT_EQ(textToSingle(".5", kPoint), 0.5F);
    EXPECT_EQ(textToSingle("1.", kPoint), 1.0F);
    EXPECT_EQ(textToSingle("-0.2", kPoint), -0.2F);
    EXPECT_EQ(textToSingle("+2", kPoint), 2.0F);
    EXPECT_EQ(textToSingle("1.5E1", kPoint), 15.0F);
}

TEST(NumberText, SurroundingSpacesAreAllowed) {
    EXPECT_EQ(textToSingle("  0.5 ", kPoint), 0.5F);
    EXPECT_EQ(textToSingle("\t1.5\t", kPoint), 1.5F);
    EXPECT_EQ(textToSingle("\xE3\x80\x80"
                           "2\xE3\x80\x80",
                           kPoint),
              2.0F);  // ideographic spaces
}

TEST(NumberText, TextsThatAreNoNumber) {
    for (const char* text : {"", " ", "不变", " 不变", "abc", "1.2.3", ".", "-", "1e", "1e+", "1 2", "0x10", "inf",
                             "nan", "1,000", "1.5厘米", "１.５"}) {
        EXPECT_FALSE(textToSingle(text, kPoint).has_value()) << text;
    }
}

TEST(NumberText, ValuesBeyondSingleRangeAreNoNumber) {
    EXPECT_FALSE(textToSingle("1e39", kPoint).has_value());
    EXPECT_FALSE(textToSingle("1e400", kPoint).has_value());
    EXPECT_EQ(textToSingle("1e-400", kPoint), 0.0F);
}

TEST(NumberText, CommaLocaleReadsCommaAsDecimalSeparator) {
    EXPECT_EQ(textToSingle("1,5", kComma), 1.5F);
    EXPECT_EQ(textToSingle(" 0,25 ", kComma), 0.25F);
    EXPECT_EQ(textToSingle("1", kComma), 1.0F);
    EXPECT_FALSE(textToSingle("1.5", kComma).has_value());
    EXPECT_FALSE(textToSingle("1,5", kPoint).has_value());
}

TEST(NumberText, PlatformLocaleHasASeparator) {
    EXPECT_FALSE(settings::platformNumberLocale().decimalSeparator.empty());
}

}  // namespace
