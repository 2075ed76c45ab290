// The shell's windows besides the panel, as data both front ends read: the welcome window, the
// single-table window, the document watch, the start-up message, the companion workbook and the
// names of the commands (the undo steps they become).
#pragma once

#include <array>
#include <string_view>

#include "settings/controls.h"

namespace settings {

// ---- welcome window --------------------------------------------------------------------------

inline constexpr std::string_view kWelcomeFormName = "Form5";
inline constexpr std::string_view kWelcomeCaption = "你好，欢迎使用本程序！";
// The instructions, one label each, exactly as they stand (the first ends in a line break).
inline constexpr std::array<std::string_view, 5> kWelcomeInstructions = {
    "程序使用方法：\r\n  ",
    "     1、点击本窗体下方的“打开要排版的word文件”按钮，然后在出现的打开文件对话框中找到你想对其",
    "进行排版设置的word文件，再点击对话框右下方的打开按钮，打开该文件，之后排版工具界面会自动显示。",
    "    2、必须用1中的方法使用本工具打开word文件，直接在文件夹中双击打开或用其他方法打开时，本程",
    "序无法对其设置。    ",
};
inline constexpr std::string_view kOpenDocumentCaption = "打开要排版的word文件";
inline constexpr std::string_view kExitCaption = "退出程序";

// ---- single-table window ---------------------------------------------------------------------

inline constexpr std::string_view kSingleTableFormName = "Form1";
inline constexpr std::string_view kSingleTableCaption = "选中一个表设置";
inline constexpr int kSingleTableClientWidthTwips = 3264;
inline constexpr int kSingleTableClientHeightTwips = 588;
inline constexpr std::string_view kSingleTableOkCaption = "确 定";
inline constexpr std::string_view kSingleTableOkTooltip = "先选中一个表格";
inline constexpr std::string_view kSingleTableReturnCaption = "返 回";

// ---- start-up and the document watch ---------------------------------------------------------

inline constexpr int kDocumentWatchIntervalMs = 3500;
// Shown when the Word started with the program cannot be brought forward at load.
inline constexpr std::string_view kWordLostMessage = "与本程序一同启动的word主程序被关闭，本程序将退出。";

// The workbook beside the program that a click on "数字加千分位符号" opens.
inline constexpr std::string_view kCompanionWorkbookName = "2Brindle2012dll.xls";

// ---- command names ---------------------------------------------------------------------------

// What a command is called where the user can take it back as a whole ("撤销 排版"): the Linux
// program's undo steps and Word's custom undo records. Empty for the buttons that change no document.
constexpr std::string_view commandName(ButtonAction action, bool singleTable = false) {
    switch (action) {
        case ButtonAction::FormatRun: return singleTable ? "排版所选表格" : "排版";
        case ButtonAction::ConvertEmbeddedSheets: return "转换内嵌表格";
        case ButtonAction::TidyTables: return "整理表格";
        case ButtonAction::RemoveEmptyRows: return "删除空行";
        case ButtonAction::RemoveExternalLinks: return "取消链接";
        case ButtonAction::FormatBodyText: return "正文排版";
        case ButtonAction::About:
        case ButtonAction::ToggleWidth:
        case ButtonAction::EnterSingleTableMode: break;
    }
    return {};
}

}  // namespace settings
