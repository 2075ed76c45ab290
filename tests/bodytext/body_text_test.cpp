// The body-text command on real documents in the embedded Word.
#include <gtest/gtest.h>

#include "bodytext/body_text.h"
#include "settings/format_settings.h"
#include "settings/settings_file.h"
#include "support/recording_host.h"
#include "support/word_fixture.h"

using namespace gwtest;

namespace {

class BodyText : public WordTest {
protected:
    // The panel with the body lists set as given (field -> text); everything else at its load value.
    bodytext::BodyTextResult run(std::initializer_list<std::pair<const char*, const char*>> texts) {
        auto s = settings::defaultFormatSettings(settings::NumberLocale{});
        for (const auto& [field, text] : texts) EXPECT_FALSE(settings::setField(s, field, text, {}));
        return bodytext::formatBodyText(*word, s, host);
    }
    RecordingHost host;
};

TEST_F(BodyText, TablesAndCentredParagraphsAreLeftAlone) {
    const std::string styles =
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading\"><w:pPr><w:jc w:val=\"center\"/></w:pPr></w:style>";
    const std::string indented = "<w:ind w:left=\"480\"/>";
    auto doc = open(para("标题", "<w:pStyle w:val=\"Heading\"/>" + indented) +
                        para("居中", "<w:jc w:val=\"center\"/>" + indented) +
                        tbl(row("<w:tc>" + para("表 1", indented) + "</w:tc>"), "", 1) + para("正文 2024", indented) +
                        para("右对齐", "<w:jc w:val=\"right\"/>" + indented),
                    styles);
    auto result = run({{"BodyFirstLineIndent", "2.0"},
                       {"BodyLineSpacing", "1.5"},
                       {"BodySpaceBefore", "0.5"},
                       {"BodySpaceAfter", "0"},
                       {"BodyTextFont", "仿宋_GB2312"},
                       {"BodyNumberFont", "Times New Roman"},
                       {"BodyFontSize", "小四"}});
    EXPECT_EQ(result.outcome, bodytext::BodyTextOutcome::Done);
    EXPECT_EQ(result.paragraphsFormatted, 2);
    EXPECT_EQ(host.messages, (std::vector<std::string>{bodytext::kOpeningMessage, bodytext::kDoneMessage}));

    auto paragraphs = doc->Paragraphs();
    for (int i : {1, 2, 3}) {  // the headings and the table's paragraph
        EXPECT_FLOAT_EQ(paragraphs->Item(i)->Format()->LeftIndent(), 24.0f) << i;
        EXPECT_FLOAT_EQ(paragraphs->Item(i)->Format()->LineSpacing(), 12.0f) << i;
        EXPECT_FLOAT_EQ(paragraphs->Item(i)->Range()->Font()->Size(), 10.0f) << i;
    }
    for (int i : {4, 5}) {
        auto format = paragraphs->Item(i)->Format();
        EXPECT_FLOAT_EQ(format->LeftIndent(), 0.0f) << i;
        EXPECT_FLOAT_EQ(format->CharacterUnitFirstLineIndent(), 2.0f) << i;
        EXPECT_FLOAT_EQ(format->LineSpacing(), 18.0f) << i;
        EXPECT_FLOAT_EQ(format->LineUnitBefore(), 0.5f) << i;
        EXPECT_FLOAT_EQ(format->LineUnitAfter(), 0.0f) << i;
        auto font = paragraphs->Item(i)->Range()->Font();
        EXPECT_EQ(font->Name(), "Times New Roman") << i;
        EXPECT_FLOAT_EQ(font->Size(), 12.0f) << i;
    }
    // Chinese text keeps the text font, digits and Latin letters get the number font.
    const std::string xml = savedMainPart();
    EXPECT_NE(xml.find("w:eastAsia=\"仿宋_GB2312\""), std::string::npos);
    EXPECT_NE(xml.find("w:firstLineChars=\"200\""), std::string::npos);
}

TEST_F(BodyText, EverySettingUnchangedStillZeroesTheLeftIndent) {
    auto doc = open(para("一", "<w:ind w:left=\"720\" w:firstLineChars=\"100\"/><w:spacing w:before=\"120\"/>") +
                    para("二", "<w:ind w:leftChars=\"200\"/>"));
    auto result = run({});
    EXPECT_EQ(result.outcome, bodytext::BodyTextOutcome::Done);
    auto first = doc->Paragraphs()->Item(1)->Format();
    EXPECT_FLOAT_EQ(first->LeftIndent(), 0.0f);
    EXPECT_FLOAT_EQ(first->CharacterUnitFirstLineIndent(), 1.0f);
    EXPECT_FLOAT_EQ(first->SpaceBefore(), 6.0f);
    EXPECT_FLOAT_EQ(doc->Paragraphs()->Item(2)->Format()->CharacterUnitLeftIndent(), 0.0f);
    EXPECT_EQ(host.messages.back(), bodytext::kDoneMessage);
}

TEST_F(BodyText, OneCharacterIndentAndAnUnknownSizeText) {
    auto doc = open(para("段落"));
    run({{"BodyFirstLineIndent", "1.0"}, {"BodyFontSize", "小六"}});
    EXPECT_FLOAT_EQ(doc->Paragraphs()->Item(1)->Format()->CharacterUnitFirstLineIndent(), 1.0f);
    EXPECT_FLOAT_EQ(doc->Paragraphs()->Item(1)->Range()->Font()->Size(), 10.0f);
}

TEST_F(BodyText, ABadNumberStopsBeforeAnyParagraphChanges) {
    auto doc = open(para("a", "<w:ind w:left=\"720\"/>"));
    auto result = run({{"BodyLineSpacing", "1.5"}, {"BodySpaceAfter", "半行"}});
    EXPECT_EQ(result.outcome, bodytext::BodyTextOutcome::InvalidSetting);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0], bodytext::kOpeningMessage);
    EXPECT_NE(host.messages[1].find("半行"), std::string::npos);
    EXPECT_FLOAT_EQ(doc->Paragraphs()->Item(1)->Format()->LeftIndent(), 36.0f);
    EXPECT_TRUE(doc->Saved());
}

TEST_F(BodyText, NoDocumentGivesOneMessage) {
    auto result = run({{"BodyFirstLineIndent", "2.0"}});
    EXPECT_EQ(result.outcome, bodytext::BodyTextOutcome::NoDocument);
    EXPECT_EQ(host.messages, (std::vector<std::string>{bodytext::kNoDocumentMessage}));
}

TEST_F(BodyText, AWordFailureStopsTheWalkAndNamesTheParagraph) {
    // A line spacing below Word's minimum fails on the first paragraph Word is asked to change.
    auto doc = open(para("居中", "<w:jc w:val=\"center\"/>") + para("a", "<w:ind w:left=\"720\"/>") + para("b"));
    auto result = run({{"BodyLineSpacing", "0.01"}});
    EXPECT_EQ(result.outcome, bodytext::BodyTextOutcome::Stopped);
    EXPECT_EQ(result.failedParagraph, 2);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[1].find("第 2 段"), std::string::npos);
    // What came before the failing step stays done.
    EXPECT_FLOAT_EQ(doc->Paragraphs()->Item(2)->Format()->LeftIndent(), 0.0f);
}

}  // namespace
