// Find and Replacement of the embedded Word: scope, position and wrap, and what replacing does to the
// runs, paragraphs and cells of the document.
#include <gtest/gtest.h>

#include <filesystem>

#include "automation/error.h"
#include "support/word_fixture.h"

using namespace gwtest;
using automation::FindExecuteArgs;

namespace {

std::string run(const std::string& text, const std::string& rPr = "") {
    return "<w:r>" + (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") + "<w:t xml:space=\"preserve\">" + text +
           "</w:t></w:r>";
}
std::string p(const std::string& runs, const std::string& pPr = "") {
    return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") + runs + "</w:p>";
}

FindExecuteArgs findArgs(const std::string& text) {
    FindExecuteArgs a;
    a.FindText = text;
    return a;
}
FindExecuteArgs replaceArgs(const std::string& with, int replace = automation::wdReplaceAll) {
    FindExecuteArgs a;
    a.ReplaceWith = with;
    a.Replace = replace;
    return a;
}

class FindTest : public WordTest {};

TEST_F(FindTest, GivenArgumentsSetTheFindAndOmittedOnesKeepIt) {
    auto doc = open(para("abc ABC"));
    auto find = doc->Range()->Find();
    EXPECT_FALSE(find->MatchWildcards());
    EXPECT_EQ(find->Wrap(), automation::wdFindStop);
    FindExecuteArgs a = findArgs("B");
    a.MatchCase = true;
    a.Wrap = automation::wdFindContinue;
    EXPECT_TRUE(find->Execute(a));
    EXPECT_EQ(find->Text(), "B");
    EXPECT_TRUE(find->MatchCase());
    EXPECT_EQ(find->Wrap(), automation::wdFindContinue);
    // Omitted: the find text and match case carry over; the replacement text is remembered too.
    EXPECT_TRUE(find->Execute(replaceArgs("x")));
    EXPECT_EQ(find->Replacement()->Text(), "x");
    EXPECT_EQ(doc->Content()->Text(), "abc AxC\r");
    find->SetMatchCase(false);
    EXPECT_TRUE(find->Execute(replaceArgs("Y")));
    EXPECT_EQ(doc->Content()->Text(), "aYc AxC\r");
    FindExecuteArgs bad;
    bad.Replace = 7;
    EXPECT_THROW(find->Execute(bad), automation::Error);
}

TEST_F(FindTest, FindOnlyMovesThroughTheRangeAndWrapsOnceWhenAsked) {
    auto doc = open(para("ab ab ab"));
    auto find = doc->Range()->Find();
    EXPECT_TRUE(find->Execute(findArgs("ab")));
    EXPECT_TRUE(find->Execute());
    // The third match is next: replacing one replaces it.
    EXPECT_TRUE(find->Execute(replaceArgs("3", automation::wdReplaceOne)));
    EXPECT_EQ(doc->Content()->Text(), "ab ab 3\r");
    EXPECT_FALSE(find->Execute());  // wdFindStop: the end of the scope ends the search
    FindExecuteArgs wrap;
    wrap.Wrap = automation::wdFindContinue;
    EXPECT_TRUE(find->Execute(wrap));  // goes on from the scope's start
    EXPECT_TRUE(find->Execute(replaceArgs("2", automation::wdReplaceOne)));
    EXPECT_EQ(doc->Content()->Text(), "ab 2 3\r");

    // A range's find never leaves the range, wrapping included.
    auto inner = doc->Range(3, 6)->Find();
    FindExecuteArgs a = findArgs("ab");
    a.Wrap = automation::wdFindContinue;
    EXPECT_FALSE(inner->Execute(a));
    auto middle = doc->Range(0, 4)->Find();
    EXPECT_TRUE(middle->Execute(a));
    EXPECT_TRUE(middle->Execute());  // the same match again, after going round
}

TEST_F(FindTest, ReplaceAllCoversTheScopeAndStartsOverAtItsStart) {
    auto doc = open(para("a-a-a") + para("a-a"));
    auto find = doc->Range(0, 6)->Find();
    EXPECT_TRUE(find->Execute(findArgs("a")));
    EXPECT_TRUE(find->Execute(findArgs("a")));
    // Every match of the scope, not only those after the current position; the scope's end moves.
    EXPECT_TRUE(find->Execute(replaceArgs("bb")));
    EXPECT_EQ(doc->Content()->Text(), "bb-bb-bb\ra-a\r");
    FindExecuteArgs again = replaceArgs("c", automation::wdReplaceOne);
    again.FindText = "b";
    EXPECT_TRUE(find->Execute(again));
    EXPECT_EQ(doc->Content()->Text(), "cb-bb-bb\ra-a\r");
    EXPECT_TRUE(find->Execute(replaceArgs("")));
    EXPECT_EQ(doc->Content()->Text(), "c--\ra-a\r");
    EXPECT_FALSE(find->Execute(findArgs("a")));  // the second paragraph is outside the scope
}

TEST_F(FindTest, MatchesAcrossRunsTakeTheFirstCharactersFormattingAndEmptiedRunsGo) {
    auto doc = open(p(run("x") + run("12", "<w:b/>") + run("34", "<w:i/>") + run(".5")) +
                    p(run("ab") + run("cd", "<w:u w:val=\"single\"/>")));
    auto find = doc->Range()->Find();
    EXPECT_TRUE(find->Execute(findArgs("234.")));
    EXPECT_TRUE(find->Execute(replaceArgs("Q")));
    EXPECT_TRUE(find->Execute(findArgs("cd")));
    EXPECT_TRUE(find->Execute(replaceArgs("")));
    EXPECT_EQ(doc->Content()->Text(), "x1Q5\rab\r");
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:p"), 2u);
    EXPECT_EQ(std::string(xml.one("//w:r[w:rPr/w:b]/w:t").text().get()), "1Q");
    EXPECT_EQ(xml.count("//w:r[w:rPr/w:i]"), 0u);  // all its text went: the run went with it
    EXPECT_EQ(xml.count("//w:r[w:rPr/w:u]"), 0u);
    EXPECT_EQ(xml.count("//w:r"), 4u);
    EXPECT_EQ(xml.count("//w:t[not(text())]"), 0u);
}

TEST_F(FindTest, SpacesAtTheEdgesOfNewTextArePreserved) {
    auto doc = open(p("<w:r><w:t>a-b</w:t></w:r>"));
    auto find = doc->Range()->Find();
    EXPECT_TRUE(find->Execute(findArgs("a-")));
    EXPECT_TRUE(find->Execute(replaceArgs("  ")));
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.attr("//w:t", "xml:space"), "preserve");
    EXPECT_EQ(std::string(xml.one("//w:t").text().get()), "  b");
}

TEST_F(FindTest, FieldResultsAreSearchedAndTheirCodesLeftAlone) {
    const std::string field =
        "<w:p><w:r><w:t>a</w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText> PAGE 12 </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>12</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>b</w:t></w:r></w:p>"
        "<w:p><w:fldSimple w:instr=\" DATE \"><w:r><w:t>x12</w:t></w:r></w:fldSimple></w:p>";
    auto doc = open(field);
    auto find = doc->Range()->Find();
    EXPECT_TRUE(find->Execute(findArgs("a12b")));
    EXPECT_TRUE(find->Execute(findArgs("12")));
    EXPECT_TRUE(find->Execute(replaceArgs("9")));
    EXPECT_EQ(doc->Content()->Text(), "a9b\rx9\r");
    const std::string xml = savedMainPart();
    EXPECT_EQ(count(xml, " PAGE 12 "), 1);
    EXPECT_EQ(count(xml, "<w:fldChar "), 3);
}

TEST_F(FindTest, NoMatchIncludesAnEndOfCellMarkAndCellsStayCells) {
    auto doc = open(tbl(row(cell("ab") + cell("cd")), "", 2) + para("ef"));
    auto find = doc->Range()->Find();
    FindExecuteArgs across = findArgs("b?c");
    across.MatchWildcards = true;
    EXPECT_FALSE(find->Execute(across));
    EXPECT_FALSE(find->Execute(findArgs("b^13c")));
    EXPECT_TRUE(find->Execute(findArgs("?")));
    EXPECT_TRUE(find->Execute(replaceArgs("")));  // every character a wildcard ? reaches
    EXPECT_EQ(doc->Content()->Text(), "\r\a\r\a\r\a\r");
    EXPECT_EQ(doc->Tables()->Item(1)->Cell(1, 2)->Range()->Text(), "\r\a");
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:tc"), 2u);
    EXPECT_EQ(xml.count("//w:tc/w:p"), 2u);
    EXPECT_EQ(xml.count("//w:body/w:p"), 1u);
}

TEST_F(FindTest, AnInvalidPatternFailsWithWordsErrorAndChangesNothing) {
    auto doc = open(para("1234.5"));
    auto find = doc->Range()->Find();
    for (const char* pattern : {"[z-a]", "(", "a{3,1}", "[", "\\"}) {
        FindExecuteArgs a = replaceArgs("x");
        a.FindText = pattern;
        a.MatchWildcards = true;
        try {
            find->Execute(a);
            ADD_FAILURE() << pattern << " was accepted";
        } catch (const automation::Error& e) {
            EXPECT_EQ(e.number(), automation::errors::InvalidPattern) << pattern;
        }
    }
    // A bad ^ code in the replacement fails too, before anything is replaced.
    FindExecuteArgs badReplacement = replaceArgs("^q");
    badReplacement.FindText = "1";
    badReplacement.MatchWildcards = false;
    EXPECT_THROW(find->Execute(badReplacement), automation::Error);
    EXPECT_TRUE(doc->Saved());
    EXPECT_EQ(doc->Content()->Text(), "1234.5\r");
}

TEST_F(FindTest, ParagraphMarksJoinAndSplitParagraphs) {
    auto doc = open(p(run("ab"), "<w:jc w:val=\"left\"/>") + p(run("cd"), "<w:jc w:val=\"center\"/>") + p(run("e,f")));
    auto find = doc->Range()->Find();
    EXPECT_TRUE(find->Execute(findArgs("b^pc")));
    EXPECT_TRUE(find->Execute(replaceArgs("-")));
    EXPECT_EQ(doc->Content()->Text(), "a-d\re,f\r");
    EXPECT_TRUE(find->Execute(findArgs(",")));
    EXPECT_TRUE(find->Execute(replaceArgs("^p^t")));
    EXPECT_EQ(doc->Content()->Text(), "a-d\re\r\tf\r");
    Xml xml(savedMainPart());
    EXPECT_EQ(xml.count("//w:p"), 3u);
    // The surviving mark is the second paragraph's: its properties stay.
    EXPECT_EQ(xml.attr("//w:p[1]/w:pPr/w:jc", "w:val"), "center");
    EXPECT_EQ(xml.count("//w:p[3]/w:r/w:tab"), 1u);
    // The last paragraph mark of the story is never replaced away.
    EXPECT_TRUE(find->Execute(findArgs("f^p")));
    EXPECT_TRUE(find->Execute(replaceArgs("")));
    EXPECT_EQ(doc->Content()->Text(), "a-d\re\r\tf\r");
}

TEST_F(FindTest, CharactersOutsideTheBasicPlaneAreNeverCutInHalf) {
    auto doc =
        open(para("a\xF0\xA0\x80\x80"
                  "b"));
    auto find = doc->Range()->Find();
    FindExecuteArgs a = findArgs("?b");
    a.MatchWildcards = true;
    EXPECT_TRUE(find->Execute(a));
    EXPECT_TRUE(find->Execute(replaceArgs("c")));
    EXPECT_EQ(doc->Content()->Text(), "ac\r");
}

TEST_F(FindTest, SelectionFindSelectsTheMatchAndStaysInsideTheSelection) {
    auto doc = open(para("xy xy xy"));
    doc->Range(2, 6)->Select();
    auto sel = word->Selection();
    auto find = sel->Find();
    FindExecuteArgs a = findArgs("xy");
    a.Wrap = automation::wdFindContinue;
    EXPECT_TRUE(find->Execute(a));
    EXPECT_EQ(sel->Start(), 3);
    EXPECT_EQ(sel->End(), 5);
    EXPECT_FALSE(find->Execute());  // no going round out of the selection

    doc->Range(0, 5)->Select();
    auto replace = word->Selection()->Find();
    FindExecuteArgs all = findArgs(" ");
    all.ReplaceWith = "";
    all.Replace = automation::wdReplaceAll;
    all.Wrap = automation::wdFindContinue;
    EXPECT_TRUE(replace->Execute(all));
    EXPECT_EQ(doc->Content()->Text(), "xyxy xy\r");
    EXPECT_EQ(word->Selection()->End(), 4);  // the selection shrank with its text
}

TEST_F(FindTest, ABlockOfCellsIsItsOwnCellsOnly) {
    // Title row and column 1 hold spaces too; only rows 2-3, columns 2-3 are selected.
    std::string rows;
    for (int r = 1; r <= 3; ++r) {
        std::string cells;
        for (int c = 1; c <= 3; ++c) cells += cell(std::to_string(r) + " " + std::to_string(c));
        rows += row(cells);
    }
    auto doc = open(tbl(rows, "", 3) + para("a b"));
    auto table = doc->Tables()->Item(1);
    doc->Range(table->Cell(2, 2)->Range()->Start(), table->Cell(3, 3)->Range()->End())->Select();
    word->SetDisplayAlerts(automation::wdAlertsNone);
    EXPECT_EQ(word->DisplayAlerts(), automation::wdAlertsNone);
    auto find = word->Selection()->Find();
    find->ClearFormatting();
    find->Replacement()->ClearFormatting();
    find->SetText(" ");
    find->Replacement()->SetText("");
    find->SetFormat(false);
    find->SetMatchCase(false);
    find->SetMatchWholeWord(false);
    find->SetWrap(automation::wdFindContinue);
    FindExecuteArgs all;
    all.Replace = automation::wdReplaceAll;
    EXPECT_TRUE(find->Execute(all));
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            const std::string before = std::to_string(r) + " " + std::to_string(c);
            const std::string after = std::to_string(r) + std::to_string(c);
            EXPECT_EQ(table->Cell(r, c)->Range()->Text(), (r >= 2 && c >= 2 ? after : before) + "\r\a")
                << r << "," << c;
        }
    EXPECT_EQ(doc->Paragraphs()->Item(10)->Range()->Text(), "a b\r");
    // The selection is still the block.
    EXPECT_EQ(word->Selection()->Cells()->Count(), 4);
    // Find-only in a block skips the cells of column 1 between the block's rows.
    auto again = word->Selection()->Find();
    EXPECT_FALSE(again->Execute(findArgs("3 1")));
    EXPECT_TRUE(again->Execute(findArgs("32")));
}

TEST_F(FindTest, TheSeparatorLoopEndsAfterTwoRounds) {
    auto doc = open(p(run("1234") + run("567.89", "<w:b/>")));
    auto find = doc->Range()->Find();
    find->ClearFormatting();
    find->Replacement()->ClearFormatting();
    find->SetMatchWildcards(true);
    std::vector<std::string> rounds;
    for (int guard = 0; guard < 10; ++guard) {
        if (!find->Execute(findArgs("([0-9])([0-9]{3})([.,])"))) break;
        find->Execute(replaceArgs("\\1,\\2\\3"));
        rounds.push_back(doc->Content()->Text());
    }
    EXPECT_EQ(rounds, (std::vector<std::string>{"1234,567.89\r", "1,234,567.89\r"}));
    // "4567." became "4,567." in the plain run of its first digit, as typing over it would.
    Xml xml(savedMainPart());
    EXPECT_EQ(std::string(xml.one("//w:r[not(w:rPr)]/w:t").text().get()), "1,234,567.");
    EXPECT_EQ(std::string(xml.one("//w:r[w:rPr/w:b]/w:t").text().get()), "89");
}

}  // namespace

namespace {

std::string replaced(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// Real documents (hyperlinks, fields, sections, drawings): replacing letters by paragraph marks and tabs
// and spaces by nothing gives exactly the expected text, and the saved file reads back the same.
TEST_F(FindTest, ReplacingInRealDocumentsKeepsTheirTextConsistent) {
    const std::filesystem::path corpus(GRIDWRIGHT_CORPUS_DIR);
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << corpus << " is not here";
    int documents = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".docx") continue;
        SCOPED_TRACE(entry.path().filename().string());
        auto doc = word->Documents()->Open(entry.path().string());
        const std::string before = doc->Content()->Text();
        auto find = doc->Content()->Find();
        find->Execute(findArgs(" "));
        find->Execute(replaceArgs(""));
        FindExecuteArgs letter = findArgs("e");
        letter.MatchCase = true;
        find->Execute(letter);
        find->Execute(replaceArgs("^pE^t"));
        const std::string expected = replaced(replaced(before, " ", ""), "e", "\rE\t");
        EXPECT_EQ(doc->Content()->Text(), expected);
        const auto saved = dir.file("corpus" + std::to_string(++documents) + ".docx");
        doc->SaveAs(saved.string());
        doc->Close();
        auto again = word->Documents()->Open(saved.string());
        EXPECT_EQ(again->Content()->Text(), expected);
        again->Close();
    }
    EXPECT_GT(documents, 0);
}

}  // namespace
