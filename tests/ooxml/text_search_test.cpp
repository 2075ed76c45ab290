#include "automation/ooxml/text_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error.h"

namespace automation::ooxml {
namespace {

// Carries out a replace-all plan on text, as Find does in the document; returns the replacements made.
std::size_t replaceAll(const TextSearch& search, std::u16string& text, std::size_t from, std::size_t to,
                       const std::u16string& replacement) {
    const auto plan = search.planReplaceAll(text, from, to, replacement);
    for (auto r = plan.rbegin(); r != plan.rend(); ++r) text.replace(r->start, r->end - r->start, r->text);
    return plan.size();
}

std::string narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return out;
}

SearchOptions plain(std::u16string text, bool matchCase = false, bool wholeWord = false) {
    SearchOptions o;
    o.text = std::move(text);
    o.matchCase = matchCase;
    o.matchWholeWord = wholeWord;
    return o;
}

SearchOptions wild(std::u16string text) {
    SearchOptions o;
    o.text = std::move(text);
    o.matchWildcards = true;
    return o;
}

std::string findIn(const SearchOptions& options, std::u16string_view text) {
    auto m = findNext(text, 0, text.size(), options);
    return m ? std::to_string(m->start) + "-" + std::to_string(m->end) : "none";
}

// The thousands-separator step: find; if found, replace all; repeat until a find finds nothing.
// Returns the text after every round.
std::vector<std::string> addThousandsSeparators(std::u16string text) {
    TextSearch search(wild(u"([0-9])([0-9]{3})([.,])"));
    std::vector<std::string> rounds;
    while (search.findNext(text, 0, text.size()) && rounds.size() < 10) {
        replaceAll(search, text, 0, text.size(), u"\\1,\\2\\3");
        rounds.push_back(narrow(text));
    }
    return rounds;
}

using Rounds = std::vector<std::string>;

TEST(TextSearchTest, ThousandsSeparators) {
    EXPECT_EQ(addThousandsSeparators(u"1234567.89"), (Rounds{"1234,567.89", "1,234,567.89"}));
    EXPECT_EQ(addThousandsSeparators(u"1234.5"), (Rounds{"1,234.5"}));
    EXPECT_EQ(addThousandsSeparators(u"1234 "), Rounds{});
    EXPECT_EQ(addThousandsSeparators(u"1234\r"), Rounds{});
    EXPECT_EQ(addThousandsSeparators(u"1,234.56"), Rounds{});
    EXPECT_EQ(addThousandsSeparators(u"123.45"), Rounds{});
    EXPECT_EQ(addThousandsSeparators(u"1234,5"), (Rounds{"1,234,5"}));
    EXPECT_EQ(addThousandsSeparators(u"3.14159."), (Rounds{"3.14,159."}));
    // several numbers in one round, in table cells and running text
    EXPECT_EQ(addThousandsSeparators(u"1234\r\a5678.9\r\a12345.6 and 9876543.2\r"),
              (Rounds{"1234\\u13\\u75,678.9\\u13\\u712,345.6 and 9876,543.2\\u13",
                      "1234\\u13\\u75,678.9\\u13\\u712,345.6 and 9,876,543.2\\u13"}));
}

TEST(TextSearchTest, CaseAndWholeWordInOrdinaryFinds) {
    EXPECT_EQ(findIn(plain(u"abc"), u"xABC"), "1-4");
    EXPECT_EQ(findIn(plain(u"abc", true), u"xABC abc"), "5-8");
    EXPECT_EQ(findIn(plain(u"ａｂｃ"), u"ＡＢＣ"), "0-3");
    EXPECT_EQ(findIn(plain(u"ÉTÉ"), u"été"), "0-3");
    EXPECT_EQ(findIn(plain(u"cat", false, true), u"concat cats Cat."), "12-15");
    EXPECT_EQ(findIn(plain(u"cat", false, true), u"cats"), "none");
    EXPECT_EQ(findIn(plain(u"中国", false, true), u"我爱中国人"), "2-4");
    // wildcard characters are ordinary characters here; wildcard patterns ignore the case options
    EXPECT_EQ(findIn(plain(u"a*b?"), u"ab a*b?"), "3-7");
    SearchOptions w = wild(u"abc");
    w.matchWholeWord = true;
    EXPECT_EQ(findIn(w, u"ABC xabc"), "5-8");
}

TEST(TextSearchTest, CaretCodesInOrdinaryFinds) {
    EXPECT_EQ(findIn(plain(u"a^pb"), u"a\rb"), "0-3");
    EXPECT_EQ(findIn(plain(u"^t^^"), u"x\t^"), "1-3");
    EXPECT_EQ(findIn(plain(u"^#^#"), u"a1b23"), "3-5");
    EXPECT_EQ(findIn(plain(u"^$^$"), u"1a2bc"), "3-5");
    EXPECT_EQ(findIn(plain(u"x^?z"), u"xz xyz"), "3-6");
    EXPECT_EQ(findIn(plain(u"^0065"), u"xa"), "1-2");  // a character code, without case
    try {
        findIn(plain(u"a^q"), u"a");
        ADD_FAILURE() << "accepted ^q";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::InvalidPattern);
    }
    EXPECT_EQ(findIn(plain(u""), u"abc"), "none");
}

TEST(TextSearchTest, NothingMatchesAcrossOrIntoAnEndOfCellMark) {
    EXPECT_EQ(findIn(plain(u"a^?b"), u"a\ab"), "none");
    EXPECT_EQ(findIn(plain(u"^?"), u"\a\ax"), "2-3");
    EXPECT_EQ(findIn(plain(u"^7"), u"\r\a"), "none");
    EXPECT_EQ(findIn(plain(u"^p"), u"\r\a"), "0-1");
    EXPECT_EQ(findIn(wild(u"1*2"), u"1\r\a2 1\r2"), "5-8");
}

TEST(TextSearchTest, ReplacementExpansion) {
    const std::u16string text = u"xab-cd";
    auto m = findNext(text, 0, text.size(), wild(u"(ab)-(cd)"));
    ASSERT_TRUE(m);
    auto wildExpand = [&](const std::u16string& r) { return narrow(expandReplacement(r, *m, text, true)); };
    EXPECT_EQ(wildExpand(u"\\2+\\1"), "cd+ab");
    EXPECT_EQ(wildExpand(u"[^&]"), "[ab-cd]");
    EXPECT_EQ(wildExpand(u"\\3|\\9"), "|");  // groups that do not exist are empty
    EXPECT_EQ(wildExpand(u"\\\\\\x\\^"), "\\x^");
    EXPECT_EQ(wildExpand(u"a^pb^tc^^^0066"), "a\\u13b\\u9c^B");
    EXPECT_EQ(wildExpand(u"end\\"), "end\\");

    auto plainExpand = [&](const std::u16string& r) { return narrow(expandReplacement(r, *m, text, false)); };
    EXPECT_EQ(plainExpand(u"\\1^&"), "\\1ab-cd");
    EXPECT_EQ(plainExpand(u"^p^t^^"), "\\u13\\u9^");
    EXPECT_THROW(plainExpand(u"^z"), Error);
    EXPECT_THROW(plainExpand(u"x^"), Error);
}

TEST(TextSearchTest, ReplaceAllStaysInsideTheRangeAndTerminates) {
    TextSearch ab(plain(u"ab"));
    std::u16string text = u"ab ab ab ab";
    EXPECT_EQ(replaceAll(ab, text, 2, 8, u"X^&"), 2u);
    EXPECT_EQ(narrow(text), "ab Xab Xab ab");

    // the replacement is not searched again
    TextSearch a(plain(u"a"));
    text = u"aa";
    EXPECT_EQ(replaceAll(a, text, 0, text.size(), u"aa"), 2u);
    EXPECT_EQ(narrow(text), "aaaa");

    // a pattern that matches an empty string inserts once per place
    TextSearch wordStart(wild(u"<"));
    text = u"ab cd";
    EXPECT_EQ(replaceAll(wordStart, text, 0, text.size(), u"["), 2u);
    EXPECT_EQ(narrow(text), "[ab [cd");

    // a bad replacement fails before anything changes
    text = u"ab";
    EXPECT_THROW(replaceAll(ab, text, 0, text.size(), u"^y"), Error);
    EXPECT_EQ(narrow(text), "ab");

    auto plan = TextSearch(wild(u"([0-9]@)")).planReplaceAll(u"a12b3", 0, 5, u"<\\1>");
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].start, 1u);
    EXPECT_EQ(plan[0].end, 3u);
    EXPECT_EQ(narrow(plan[0].text), "<12>");
    EXPECT_EQ(narrow(plan[1].text), "<3>");
}

TEST(TextSearchTest, BadPatternsFailWhenTheSearchIsBuilt) {
    try {
        TextSearch search(wild(u"([0-9]"));
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::InvalidPattern);
    }
    SearchOptions backward = plain(u"ab");
    backward.forward = false;
    EXPECT_EQ(findIn(backward, u"ab ab AB"), "6-8");
}

}  // namespace
}  // namespace automation::ooxml
