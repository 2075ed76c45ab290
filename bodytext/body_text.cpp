#include "bodytext/body_text.h"

#include <algorithm>

#include "automation/global.h"
#include "commands/active_document.h"
#include "settings/setting_limits.h"

namespace bodytext {

namespace {

// The paragraph's own steps, in the order Word receives them.
// Returns false when the paragraph was passed by (inside a table, or centred).
bool formatParagraph(automation::Paragraph& paragraph, const settings::FormatSettings& s) {
    automation::RangePtr range = paragraph.Range();
    if (range->Tables()->Count() != 0) return false;
    automation::ParagraphFormatPtr format = paragraph.Format();
    if (format->Alignment() == automation::wdAlignParagraphCenter) return false;

    format->SetLeftIndent(automation::CentimetersToPoints(0.0f));
    if (!s.BodyFirstLineIndent.isUnchanged()) format->SetCharacterUnitFirstLineIndent(*s.BodyFirstLineIndent.value);
    if (!s.BodyLineSpacing.isUnchanged()) format->SetLineSpacing(automation::LinesToPoints(*s.BodyLineSpacing.value));
    if (!s.BodySpaceBefore.isUnchanged()) format->SetLineUnitBefore(*s.BodySpaceBefore.value);
    if (!s.BodySpaceAfter.isUnchanged()) format->SetLineUnitAfter(*s.BodySpaceAfter.value);

    // The text font first: a Latin number font set after it keeps the Chinese characters in it.
    automation::FontPtr font = range->Font();
    if (s.BodyTextFont) font->SetName(*s.BodyTextFont);
    if (s.BodyNumberFont) font->SetName(*s.BodyNumberFont);
    if (s.BodyFontSize) font->SetSize(*s.BodyFontSize);
    return true;
}

// current: the paragraph being formatted; 0 while the paragraphs are counted, -1 at the end.
std::string failureMessage(int current, const automation::Error& error) {
    const std::string where = current > 0    ? "排版第 " + std::to_string(current) + " 段时出错"
                              : current == 0 ? "读取文档的段落时出错"
                                             : "清除撤销记录时出错";
    return "表外文字排版" + where + "，已停止（此前已排好的段落保持不变）。Word 的错误信息：" + error.message();
}

}  // namespace

BodyTextResult formatBodyText(automation::Application& word, const settings::FormatSettings& settings,
                              commands::CommandHost& host) {
    BodyTextResult result;
    const automation::DocumentPtr document = commands::activeDocument(word);
    if (!document) {
        result.outcome = BodyTextOutcome::NoDocument;
        result.problem = kNoDocumentMessage;
        host.showMessage(result.problem);
        return result;
    }

    host.showMessage(kOpeningMessage);

    // The four numbers are converted before anything changes; a text that is no number stops here.
    if (auto problem = settings::firstInvalidNumber(settings, settings::ReadBy::BodyTextAtStart)) {
        result.outcome = BodyTextOutcome::InvalidSetting;
        result.problem = problem->message;
        host.showMessage(result.problem);
        return result;
    }

    int current = 0;
    try {
        automation::ParagraphsPtr paragraphs = document->Paragraphs();
        const int count = paragraphs->Count();
        for (current = 1; current <= count; ++current) {
            automation::ParagraphPtr paragraph = paragraphs->Item(current);
            if (formatParagraph(*paragraph, settings)) ++result.paragraphsFormatted;
        }
        current = -1;
        document->UndoClear();
    } catch (const automation::Error& error) {
        result.outcome = BodyTextOutcome::Stopped;
        result.failedParagraph = std::max(current, 0);
        result.problem = failureMessage(current, error);
        host.showMessage(result.problem);
        return result;
    }

    host.showMessage(kDoneMessage);
    return result;
}

}  // namespace bodytext
