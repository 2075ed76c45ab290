#include "engine/format_run.h"

#include "engine/table_steps.h"
#include "engine/thousands_separators.h"
#include "settings/setting_limits.h"

namespace engine {

namespace {

std::string describe(const automation::Error& error) {
    return error.message() + "（错误 " + std::to_string(error.number()) + "）";
}

std::string stoppedMessage(const std::string& where, const automation::Error& error) {
    return where + "时 Word 出错，排版已停止，已做的修改保留在文档中。\n" + describe(error);
}

}  // namespace

std::string tableName(int index, bool singleTable) {
    return singleTable ? "所选表格" : "第 " + std::to_string(index) + " 个表格";
}

FormatRun::FormatRun(automation::Application& word, commands::CommandHost& host) : word_(word), host_(host) {}

FormatOutcome FormatRun::run(const settings::FormatSettings& settings, Scope scope) {
    passOver_ = commands::PassOver{};
    problem_.clear();
    problemNumber_ = 0;

    // The three start-of-run numbers: a text that is no number stops the run before anything changes.
    // Past this point every one of them is either "不变" (its step is left out) or has its value.
    if (const auto bad = settings::firstInvalidNumber(settings, settings::ReadBy::TableRunAtStart)) {
        problem_ = bad->message;
        host_.showMessage(problem_);
        return FormatOutcome::InvalidSetting;
    }

    host_.hideMainWindow();

    if (settings.AddThousandsSeparators) {
        try {
            addThousandsSeparators(word_);
        } catch (const automation::Error& error) {
            return stop(stoppedMessage("添加千分位符号", error), error.number());
        }
    }

    const bool singleTable = scope == Scope::SelectedTable;
    int TablesToProcess = 1;
    if (!singleTable) {
        try {
            TablesToProcess = word_.ActiveDocument()->Tables()->Count();
        } catch (const automation::Error& error) {
            return stop(stoppedMessage("统计表格数目", error), error.number());
        }
    }

    for (int index = 1; index <= TablesToProcess; ++index) {
        try {
            formatTable(settings, index, singleTable);
        } catch (const automation::Error& error) {
            return stop(stoppedMessage("处理" + tableName(index, singleTable), error), error.number());
        }
    }

    host_.showMessage(kDoneMessage);
    host_.showMainWindow();
    return FormatOutcome::Done;
}

void FormatRun::formatTable(const settings::FormatSettings& s, int index, bool singleTable) {
    // The run's pass-over policy, all of it decided here. The run starts with pass-over off, so a Word
    // failure in the first table stops the run before it spreads over the document. "指定宽度" and the
    // title rows switch it on, and nothing switches it off again except around the repeat flag: every
    // later table has its failures passed over.
    passOver_.setTable(index);
    TablePass pass{word_, s, passOver_,
                   singleTable ? CurrentTable::ofSelection(word_) : CurrentTable::ofDocument(index)};

    if (!singleTable) selectTable(pass, index);
    if (!s.IncludeBorderlessTables && isBorderless(pass)) return;
    if (!s.LineSpacingLines.isUnchanged()) setLineSpacing(pass);
    resetPreferredWidth(pass);
    if (!s.RowHeightCm.isUnchanged()) setRowHeight(pass);
    if (s.TableWidthMode == settings::WidthMode::Specified) passOver_.setOn(true);
    applyWidthMode(pass);
    centreVertically(pass);
    setBorders(pass);
    setFonts(pass);
    resetParagraphs(pass);

    passOver_.setOn(true);
    const bool titleSelected = selectHeaderRows(pass);
    alignHeaderRows(pass);

    // The repeat flag is the one step that is never passed over.
    passOver_.setOn(false);
    setRepeatHeaderRows(pass, titleSelected);
    passOver_.setOn(true);

    selectOtherArea(pass);
    if (s.RemoveSpaces) removeSpaces(pass);
    alignOtherArea(pass);
}

FormatOutcome FormatRun::stop(const std::string& message, long number) {
    problem_ = message;
    problemNumber_ = number;
    host_.showMessage(message);
    host_.showMainWindow();
    return FormatOutcome::Stopped;
}

}  // namespace engine
