#include "settings/setting_limits.h"

#include <algorithm>
#include <span>
#include <variant>

#include "automation/global.h"
#include "automation/line_widths.h"

namespace settings {

namespace {

const NumericSetting* numericOf(const FormatSettings& settings, const ControlSpec& entry) {
    const auto* member = std::get_if<NumericSetting FormatSettings::*>(&entry.member);
    return member ? &(settings.**member) : nullptr;
}

std::optional<std::string> checkRange(const ControlSpec& entry, float value, std::string_view text) {
    if (!entry.range) return std::nullopt;
    const WordRange& range = *entry.range;
    float word = value;
    if (range.inPoints) {
        word =
            entry.unit == Unit::Centimetres ? automation::CentimetersToPoints(value) : automation::LinesToPoints(value);
    }
    if (word >= range.low && word <= range.high) return std::nullopt;
    std::string message = "“";
    message += entry.displayName();
    message += "”中的“";
    message += text;
    message += "”超出了 Word 能接受的范围（";
    message += range.shown;
    message += "）。";
    return message;
}

// A number: "不变", or the default text of a box without "不变" (its placeholder), or a number Word takes.
std::optional<std::string> checkNumber(const ControlSpec& entry, const NumericSetting& setting) {
    if (setting.isUnchanged() && entry.defaultText == kUnchanged) return std::nullopt;
    if (setting.text == entry.defaultText) return std::nullopt;
    if (!setting.value) return invalidNumberMessage(entry.displayName(), setting.text);
    return checkRange(entry, *setting.value, setting.text);
}

std::optional<std::string> checkLine(const ControlSpec& entry, const LineNumbers& line) {
    if (!line.style) return std::nullopt;  // no line: the width is not used
    if (!line.style->value || !line.width.value) return std::nullopt;
    const int style = *line.style->value;
    const int width = *line.width.value;
    const std::span<const int> widths = automation::lineWidthsOffered(style);
    if (std::find(widths.begin(), widths.end(), width) != widths.end()) return std::nullopt;
    std::string message = "“";
    message += entry.label;
    message += "”的线型 " + line.style->text + " 与线宽 " + line.width.text + " 不是 Word 提供的组合";
    if (widths.empty()) return message + "（没有这种线型）。";
    message += "（这种线型的线宽可以是";
    for (std::size_t i = 0; i < widths.size(); ++i) message += (i == 0 ? " " : "、") + std::to_string(widths[i]);
    return message + "）。";
}

// The numbers the command reads, in panel order.
std::optional<std::string> checkNumbers(const FormatSettings& settings, ReadBy readBy) {
    for (const ControlSpec& entry : panelControls()) {
        if (entry.readBy != readBy) continue;
        if (const NumericSetting* setting = numericOf(settings, entry))
            if (auto problem = checkNumber(entry, *setting)) return problem;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> checkTableSettings(const FormatSettings& settings) {
    if (auto problem = checkNumbers(settings, ReadBy::TableRunAtStart)) return problem;
    if (auto problem = checkNumbers(settings, ReadBy::TableRun)) return problem;
    for (const ControlSpec& entry : panelControls()) {
        if (entry.readBy != ReadBy::TableRun) continue;
        if (const auto* member = std::get_if<LineNumbers FormatSettings::*>(&entry.member))
            if (auto problem = checkLine(entry, settings.**member)) return problem;
    }
    return std::nullopt;
}

std::optional<std::string> checkBodySettings(const FormatSettings& settings) {
    if (auto problem = checkNumbers(settings, ReadBy::BodyTextAtStart)) return problem;
    return checkNumbers(settings, ReadBy::BodyText);
}

std::string invalidNumberMessage(std::string_view label, std::string_view text) {
    std::string message = "“";
    message += label;
    message += "”中的“";
    message += text;
    message += "”不是有效的数字。";
    return message;
}

std::optional<SettingProblem> firstInvalidNumber(const FormatSettings& settings, ReadBy readBy) {
    for (const ControlSpec& entry : panelControls()) {
        if (entry.readBy != readBy) continue;
        const NumericSetting* setting = numericOf(settings, entry);
        if (setting && setting->isInvalid())
            return SettingProblem{entry.key, setting->text, invalidNumberMessage(entry.displayName(), setting->text)};
    }
    return std::nullopt;
}

}  // namespace settings
