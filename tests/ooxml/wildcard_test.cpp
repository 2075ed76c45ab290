#include "automation/ooxml/wildcard.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/error.h"

namespace automation::ooxml {
namespace {

// [start, end) of the first match, or "none".
std::string find(const std::u16string& pattern, const std::u16string& text, bool forward = true) {
    auto m = Matcher::wildcard(pattern).find(text, 0, text.size(), forward);
    if (!m) return "none";
    return std::to_string(m->start) + "-" + std::to_string(m->end);
}

std::u16string group(const std::u16string& pattern, const std::u16string& text, int n) {
    auto m = Matcher::wildcard(pattern).find(text, 0, text.size());
    return m ? std::u16string(m->group(text, n)) : u"<none>";
}

TEST(WildcardTest, SingleCharactersAndSets) {
    EXPECT_EQ(find(u"b?d", u"abcd bed"), "1-4");
    EXPECT_EQ(find(u"[xyz]", u"abcy"), "3-4");
    EXPECT_EQ(find(u"[a-c][0-9]", u"d1 b7"), "3-5");
    EXPECT_EQ(find(u"[!a-z ]", u"ab cD"), "4-5");
    EXPECT_EQ(find(u"[-+]1", u"a+1"), "1-3");  // a dash at either end of a set is itself
    EXPECT_EQ(find(u"[\\[\\]]", u"a]"), "1-2");
    EXPECT_EQ(find(u"x^tz^13", u"x\tz\r"), "0-4");
    EXPECT_EQ(find(u"[^13^t]", u"ab\t"), "2-3");
    // wildcard matching always respects case
    EXPECT_EQ(find(u"abc", u"ABC"), "none");
}

TEST(WildcardTest, StarIsTheShortestStringThatLetsTheRestMatch) {
    EXPECT_EQ(find(u"a*c", u"xabcbc"), "1-4");
    EXPECT_EQ(find(u"a*", u"abc"), "0-1");
    EXPECT_EQ(group(u"(*)b", u"aabab", 1), u"aa");
    EXPECT_EQ(find(u"<*>", u"  word  "), "2-6");
}

TEST(WildcardTest, CountsAndAtTakeAsManyAsTheyCan) {
    EXPECT_EQ(find(u"[0-9]{2,3}", u"x12345"), "1-4");
    EXPECT_EQ(find(u"[0-9]{2}", u"1 23"), "2-4");
    EXPECT_EQ(find(u"lo{2,}t", u"lot loot looot"), "4-8");
    EXPECT_EQ(find(u"lo@t", u"lt lot"), "3-6");
    EXPECT_EQ(find(u"(ab)@", u"xababy"), "1-5");
    EXPECT_EQ(group(u"(ab)@", u"xababy", 1), u"ab");
    EXPECT_EQ(find(u"x[0-9]{0,}y", u"xy"), "0-2");
}

TEST(WildcardTest, WordBoundaries) {
    EXPECT_EQ(find(u"<in", u"main into"), "5-7");
    EXPECT_EQ(find(u"in>", u"into main"), "7-9");
    EXPECT_EQ(find(u"<cat>", u"concat cats cat."), "12-15");
    // each ideograph stands as a word of its own
    EXPECT_EQ(find(u"<中国>", u"我爱中国人"), "2-4");
    EXPECT_EQ(find(u"<ab", u"中ab"), "1-3");
}

TEST(WildcardTest, GroupsAndEscapes) {
    EXPECT_EQ(group(u"([0-9])([0-9]{3})([.,])", u"a1234.5", 2), u"234");
    EXPECT_EQ(group(u"((a)b)c", u"abc", 1), u"ab");
    EXPECT_EQ(group(u"((a)b)c", u"abc", 2), u"a");
    EXPECT_EQ(find(u"\\(x\\)", u"a(x)"), "1-4");
    EXPECT_EQ(find(u"\\*\\?\\@\\<", u"a*?@<"), "1-5");
    // a group that took no part stays unmatched
    auto m = Matcher::wildcard(u"(a){0,1}b").find(u"b", 0, 1);
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->groups[1].matched());
    EXPECT_EQ(group(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)", u"abcdefghi", 9), u"i");
}

TEST(WildcardTest, PatternsWordRejects) {
    for (const char16_t* bad :
         {u"[abc",   u"abc]",    u"(ab",  u"ab)",     u"a{3,1}", u"a{a}",
          u"{2}a",   u"@",       u"a{2",  u"a{,2}",   u"[z-a]",  u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)",
          u"a\\",    u"*@",      u"<{2}", u"a{2}{3}", u"()",     u"[]",
          u"[!]",    u"a}",      u"^q",   u"^",       u"^0",     u"^99999",
          u"(a)\\1", u"a{99999}"}) {
        SCOPED_TRACE(std::string(bad, bad + std::char_traits<char16_t>::length(bad)).c_str());
        try {
            Matcher::wildcard(bad);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errors::InvalidPattern);
        }
    }
}

TEST(WildcardTest, EndOfCellMarkIsABarrier) {
    EXPECT_EQ(find(u"a?b", u"a\ab"), "none");
    EXPECT_EQ(find(u"a*b", u"a\a b ab"), "5-7");
    EXPECT_EQ(find(u"[!x]", u"\ax"), "none");
    EXPECT_EQ(find(u"[^1-^9]", u"\a\t"), "1-2");
    EXPECT_EQ(find(u"^7", u"a\a"), "none");
    EXPECT_EQ(find(u"1\r", u"1\r\a"), "0-2");
}

TEST(WildcardTest, SearchWindowAndDirection) {
    const std::u16string text = u"ab ab ab";
    Matcher ab = Matcher::wildcard(u"ab");
    EXPECT_EQ(ab.find(text, 1, text.size())->start, 3u);
    EXPECT_FALSE(ab.find(text, 7, text.size()));
    EXPECT_FALSE(ab.find(text, 1, 4));  // the match must end inside the window
    EXPECT_EQ(ab.find(text, 0, 7, false)->start, 3u);
    EXPECT_EQ(find(u"ab", text, false), "6-8");
    EXPECT_EQ(find(u"([0-9])([0-9]{3})([.,])", u"1234.5 6789.1", false), "7-12");
    // backward: the last start, then Word's preferred match from there
    EXPECT_EQ(find(u"a*c", u"abcac", false), "3-5");
    EXPECT_EQ(find(u"[0-9]@", u"12 345", false), "5-6");
    EXPECT_FALSE(ab.find(text, 5, 2));
    EXPECT_EQ(ab.find(text, 0, 1000)->start, 0u);  // the end is clamped to the text
}

TEST(WildcardTest, LongTextsStayLinearAndNeverOverflow) {
    // Two million digits with the thousands pattern: one match at the very end.
    std::u16string digits(2'000'000, u'7');
    digits += u".5";
    auto m = Matcher::wildcard(u"([0-9])([0-9]{3})([.,])").find(digits, 0, digits.size());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 2'000'000u - 4);

    // A lazy star over a megabyte of the same letter: no stack growth with the text; either a bounded
    // answer or a clean error.
    std::u16string as(1'000'000, u'a');
    try {
        EXPECT_FALSE(Matcher::wildcard(u"a*b").find(as, 0, as.size()));
        EXPECT_FALSE(Matcher::wildcard(u"a*b").find(as, 0, as.size(), false));
        EXPECT_FALSE(Matcher::wildcard(u"(a@)@b").find(as, 0, as.size()));
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::InvalidPattern);
    }
    as += u'b';
    EXPECT_EQ(Matcher::wildcard(u"a*b").find(as, 0, as.size())->start, 0u);
}

TEST(WildcardTest, HugeCountsFailCleanly) {
    EXPECT_THROW(Matcher::wildcard(u"([a-z]{1,900}){1,900}"), Error);
    EXPECT_NO_THROW(Matcher::wildcard(u"[0-9]{1,255}"));
}

TEST(WildcardTest, CharacterClasses) {
    EXPECT_TRUE(isWordCharacter(u'a'));
    EXPECT_TRUE(isWordCharacter(u'中'));
    EXPECT_TRUE(isWordCharacter(u'Ｚ'));
    EXPECT_FALSE(isWordCharacter(u'，'));
    EXPECT_FALSE(isWordCharacter(u'。'));
    EXPECT_FALSE(isWordCharacter(u'\a'));
    EXPECT_EQ(foldCase(u'Q'), u'q');
    EXPECT_EQ(foldCase(u'Ａ'), u'ａ');
    EXPECT_EQ(foldCase(u'É'), u'é');
    EXPECT_EQ(foldCase(u'×'), u'×');
}

}  // namespace
}  // namespace automation::ooxml
