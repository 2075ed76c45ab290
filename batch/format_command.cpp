#include "batch/format_command.h"

#include <charconv>
#include <cstdint>
#include <filesystem>

#include "batch/batch_app.h"
#include "batch/console_host.h"
#include "commands/command_host.h"
#include "engine/format_run.h"
#include "settings/format_settings.h"
#include "settings/setting_limits.h"
#include "settings/settings_file.h"

namespace batch {

namespace {

std::optional<int> tableNumber(const std::string& text) {
    int number = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (problem != std::errc() || end != text.data() + text.size() || number < 1) return std::nullopt;
    return number;
}

void printReport(const std::vector<commands::PassedOver>& passedOver, bool singleTable, std::ostream& out) {
    if (passedOver.empty()) {
        out << "没有跳过任何操作。\n";
        return;
    }
    int table = -1;
    for (const commands::PassedOver& skipped : passedOver) {
        if (skipped.table != table) {
            table = skipped.table;
            out << engine::tableName(table, singleTable) << "跳过的操作：\n";
        }
        out << "  " << skipped.operation << "（错误 " << skipped.number << "：" << skipped.message << "）\n";
    }
}

void runFormat(CommandContext& context) {
    FormatRequest request;
    if (auto problem = readFormatRequest(context.settings, request))
        throw automation::Error(automation::errors::BadParameter, *problem);

    if (request.table) {
        automation::TablesPtr tables = context.word.ActiveDocument()->Tables();
        const int count = tables->Count();
        if (*request.table > count)
            throw automation::Error(
                automation::errors::NoSuchMember,
                "文档中没有第 " + std::to_string(*request.table) + " 个表格（共 " + std::to_string(count) + " 个）");
        // The user of the single-table window selects the whole table before pressing "确 定".
        tables->Item(*request.table)->Select();
    }

    ConsoleHost host(context.out);
    engine::FormatRun run(context.word, host);
    const engine::FormatOutcome outcome =
        run.run(request.settings, request.table ? engine::Scope::SelectedTable : engine::Scope::WholeDocument);
    if (request.report) printReport(run.passedOver(), request.table.has_value(), context.out);
    const auto& passedOver = run.passedOver();
    context.record.passedOver.insert(context.record.passedOver.end(), passedOver.begin(), passedOver.end());
    // A run that stopped is not saved: the file is either formatted completely or left as it was.
    if (outcome != engine::FormatOutcome::Done)
        throw automation::Error(run.problemNumber(), "排版没有完成，文件没有保存");
}

}  // namespace

std::optional<std::string> readFormatRequest(const SettingValues& values, FormatRequest& request) {
    for (const auto& [option, value] : values) {
        if (option == "set") {
            settings::SettingAssignment assignment;
            if (auto problem = settings::splitAssignment(value, assignment)) return *problem;
            if (auto problem = settings::setField(request.settings, assignment.field, assignment.text,
                                                  settings::platformNumberLocale()))
                return *problem;
        } else if (option == "settings") {
            std::vector<settings::SettingAssignment> assignments;
            if (auto problem = settings::readSettingsFile(pathFromUtf8(value), value, assignments)) return problem;
            for (const settings::SettingAssignment& assignment : assignments)
                if (auto problem = settings::setField(request.settings, assignment.field, assignment.text,
                                                      settings::platformNumberLocale()))
                    return "设置文件 " + value + " 第" + std::to_string(assignment.line) + "行：" + *problem;
        } else if (option == "line") {
            if (!settings::applyPickerOption(value, request.settings))
                return "没有名为“" + value + "”的线型选项（可用 Option1 至 Option52）。";
        } else if (option == "table") {
            request.table = tableNumber(value);
            if (!request.table) return "--table 需要一个从 1 开始的表格序号，“" + value + "”不是。";
        } else if (option == "report") {
            request.report = true;
        }
    }
    return std::nullopt;
}

void addFormatCommand(CommandRegistry& registry) {
    Command format;
    format.name = "format";
    format.description = "按面板设置给所有表格排版（即主窗口的“开始”）";
    format.run = [](CommandContext& context, const std::string&) { runFormat(context); };
    format.check = [](const SettingValues& values) -> std::optional<std::string> {
        FormatRequest request;
        if (auto problem = readFormatRequest(values, request)) return problem;
        return settings::checkTableSettings(request.settings);
    };
    registry.add(std::move(format));

    registry.addOption({"set", "排版设置：字段=文本，例如 RowHeightCm=0.50、TableWidthMode=指定宽度", "字段=文本"});
    registry.addOption({"settings", "从文件读取排版设置（每行一个 字段=文本）", "文件"});
    registry.addOption({"line", "线型选择窗口中的选项，例如 Option20（左右边框不显示）", "选项"});
    registry.addOption({"table", "只给第 N 个表格排版（单表格模式）", "N"});
    registry.addOption({"report", "排版后列出每个表格跳过的操作；转换内嵌表格后列出每个嵌入对象的结果", ""});
}

}  // namespace batch
