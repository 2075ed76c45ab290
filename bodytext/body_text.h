// The body-text command: "开  始" in the frame "表外文字排版".
//
// It formats every paragraph of the active document's main text that stands outside tables and is
// not centred: left indent 0 always, then first-line indent, line spacing, space before and after,
// text font, number font and size as the panel says. It works paragraph by paragraph through Word,
// selects nothing and leaves the main window as it is.
#pragma once

#include <string>

#include "automation/word.h"
#include "commands/command_host.h"
#include "settings/format_settings.h"

namespace bodytext {

inline constexpr const char* kOpeningMessage = "运行后请稍等,每页平均用时1秒左右,完成后有提示。";
inline constexpr const char* kDoneMessage = "完成！";
inline constexpr const char* kNoDocumentMessage = "Word 中没有打开的文档，请先打开要排版的文档。";

enum class BodyTextOutcome {
    Done,            // every paragraph was visited, the undo list cleared and "完成！" shown
    NoDocument,      // Word had no active document: one message, nothing changed
    InvalidSetting,  // a numeric setting was no number: no paragraph was changed
    Stopped,         // Word failed on a paragraph: the walk stopped there, earlier paragraphs keep their format
};

struct BodyTextResult {
    BodyTextOutcome outcome = BodyTextOutcome::Done;
    int paragraphsFormatted = 0;
    int failedParagraph = 0;  // 1-based number among the document's paragraphs when Stopped
    std::string problem;      // the message shown when the command did not end with "完成！"
};

BodyTextResult formatBodyText(automation::Application& word, const settings::FormatSettings& settings,
                              commands::CommandHost& host);

}  // namespace bodytext
