#include "batch/document_commands.h"

#include "batch/console_host.h"
#include "batch/format_command.h"
#include "bodytext/body_text.h"
#include "commands/command_host.h"
#include "settings/format_settings.h"
#include "settings/setting_limits.h"
#include "utilities/utilities.h"

namespace batch {

namespace {

// The panel the settings options describe, or the reason they are wrong. Only the body-text numbers
// concern this command.
std::optional<std::string> readBodySettings(const SettingValues& values, settings::FormatSettings& out) {
    FormatRequest request;
    if (auto problem = readFormatRequest(values, request)) return problem;
    out = request.settings;
    return settings::checkBodySettings(out);
}

void runBody(CommandContext& context) {
    settings::FormatSettings formatSettings;
    if (auto problem = readBodySettings(context.settings, formatSettings))
        throw automation::Error(automation::errors::BadParameter, *problem);
    ConsoleHost host(context.out);
    const bodytext::BodyTextResult result = bodytext::formatBodyText(context.word, formatSettings, host);
    context.record.add("body", "paragraphs", result.paragraphsFormatted);
    // A walk that stopped is not saved: the file is either formatted completely or left as it was.
    if (result.outcome != bodytext::BodyTextOutcome::Done)
        throw automation::Error(automation::errors::NotAvailable, "表外文字排版没有完成，文件没有保存");
}

// The utilities find no document only when Word lost it; the file is not saved then. What they counted
// goes into the report: under countName (none for a utility that counts nothing), and the operations
// they passed over.
void finish(CommandContext& context, const utilities::UtilityResult& result, const std::string& command,
            const std::string& countName = {}) {
    if (result.noDocument) throw automation::errors::noDocumentOpen();
    if (!countName.empty()) context.record.add(command, countName, result.count);
    context.record.add(command, "passed_over", result.passedOver);
}

}  // namespace

void addDocumentCommands(CommandRegistry& registry) {
    Command body;
    body.name = "body";
    body.description = "按“表外文字排版”的设置给表格以外的段落排版（设置同 --set/--settings）";
    body.run = [](CommandContext& context, const std::string&) { runBody(context); };
    body.check = [](const SettingValues& values) {
        settings::FormatSettings formatSettings;
        return readBodySettings(values, formatSettings);
    };
    registry.add(std::move(body));

    registry.add({"tidy", "整理表格：删除每个表格末尾的空列和空行（每次各一）", "",
                  [](CommandContext& context, const std::string&) {
                      ConsoleHost host(context.out);
                      finish(context, utilities::tidyTables(context.word, host), "tidy");
                  }});
    registry.add({"delete-empty-rows", "删除所有表格中的空行（每个表格的前两行保留）", "",
                  [](CommandContext& context, const std::string&) {
                      ConsoleHost host(context.out);
                      finish(context, utilities::deleteEmptyRows(context.word, host), "delete-empty-rows", "rows");
                  }});
    registry.add({"convert-sheets", "把文档中嵌入的 Excel 97-2003 工作表转换成 Word 表格（每次最多 10 个）", "",
                  [](CommandContext& context, const std::string&) {
                      if (!context.excel) throw automation::errors::cannotCreateObject();
                      const std::shared_ptr<automation::excel::Launcher> excel = context.excel();
                      ConsoleHost host(context.out);
                      const auto result = utilities::convertEmbeddedSheets(context.word, *excel, host);
                      finish(context, result, "convert-sheets", "sheets");
                      int left = 0;
                      for (const auto& object : result.objects)
                          if (object.problem != utilities::SheetProblem::None) ++left;
                      context.record.add("convert-sheets", "not_converted", left);
                      context.record.add("convert-sheets", "waiting", result.waiting);
                      for (const auto& [option, value] : context.settings)
                          if (option == "report") {
                              context.out << utilities::sheetConversionReport(result);
                              break;
                          }
                  }});
    registry.add({"unlink-fields", "删除文档中的所有外部链接（正文中的域都换成当前结果）", "",
                  [](CommandContext& context, const std::string&) {
                      ConsoleHost host(context.out);
                      finish(context, utilities::unlinkFields(context.word, host), "unlink-fields", "fields");
                  }});
}

}  // namespace batch
