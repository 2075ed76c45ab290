#include "batch/setting_limits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>

#include "automation/constants.h"
#include "automation/global.h"
#include "automation/line_widths.h"

namespace batch {

namespace {

enum class Unit { Centimetres, LinesAsPoints, Lines, Characters };

// The range Word takes for a field, in the unit of the Word property it ends up in (points for
// centimetres and for line spacing, else lines or characters), and the same range as the user writes it.
struct Limit {
    std::string_view field;
    Unit unit;
    float low;
    float high;
    std::string_view shown;
};

constexpr std::array<Limit, 9> kLimits = {{
    {"RowHeightCm", Unit::Centimetres, 0.0f, 1584.0f, "0 至 55.88 厘米"},
    {"SpecifiedWidthCm", Unit::Centimetres, 0.0f, 1584.0f, "0 至 55.88 厘米"},
    {"LeftIndentCm", Unit::Centimetres, -1584.0f, 1584.0f, "-55.88 至 55.88 厘米"},
    {"LineSpacingLines", Unit::LinesAsPoints, 0.7f, 1584.0f, "0.06 至 132 行"},
    {"CellRightMarginCm", Unit::Centimetres, -1584.0f, 1584.0f, "-55.88 至 55.88 厘米"},
    {"BodySpaceBefore", Unit::Lines, 0.0f, 132.0f, "0 至 132 行"},
    {"BodySpaceAfter", Unit::Lines, 0.0f, 132.0f, "0 至 132 行"},
    {"BodyLineSpacing", Unit::LinesAsPoints, 0.7f, 1584.0f, "0.06 至 132 行"},
    {"BodyFirstLineIndent", Unit::Characters, -1584.0f, 1584.0f, "-1584 至 1584 字符"},
}};

const Limit& limitOf(std::string_view field) {
    return *std::find_if(kLimits.begin(), kLimits.end(), [&](const Limit& limit) { return limit.field == field; });
}

std::optional<std::string> checkRange(std::string_view field, float value, std::string_view text) {
    const Limit& limit = limitOf(field);
    automation::Global global;
    const float word = limit.unit == Unit::Centimetres     ? global.CentimetersToPoints(value)
                       : limit.unit == Unit::LinesAsPoints ? global.LinesToPoints(value)
                                                           : value;
    if (word >= limit.low && word <= limit.high) return std::nullopt;
    std::string message = "“";
    message += settings::fieldSpec(field).displayName();
    message += "”中的“";
    message += text;
    message += "”超出了 Word 能接受的范围（";
    message += limit.shown;
    message += "）。";
    return message;
}

std::optional<std::string> checkNumber(const settings::FormatSettings& s, std::string_view field,
                                       settings::NumericSetting settings::FormatSettings::*member) {
    const settings::NumericSetting& setting = s.*member;
    if (setting.isUnchanged()) return std::nullopt;
    if (!setting.value) return settings::invalidNumberMessage(settings::fieldSpec(field).label, setting.text);
    return checkRange(field, *setting.value, setting.text);
}

// A width box: its placeholder or a number Word takes.
std::optional<std::string> checkWidthBox(const settings::PanelState& panel, std::string_view field,
                                         const std::optional<float>& value) {
    const settings::ControlSpec& control = settings::fieldSpec(field);
    const std::string_view text = panel.text(field);
    if (text == control.defaultText) return std::nullopt;
    if (!value) return settings::invalidNumberMessage(control.displayName(), text);
    return checkRange(field, *value, text);
}

std::optional<std::string> checkLine(settings::EdgeGroup group, const settings::LineSpec& line) {
    if (line.style.empty()) return std::nullopt;  // no line: the width is not used
    const int style = std::stoi(line.style);
    const int width = std::stoi(line.width);
    const std::span<const int> widths = automation::lineWidthsOffered(style);
    if (std::find(widths.begin(), widths.end(), width) != widths.end()) return std::nullopt;
    std::string message = "“";
    message += settings::fieldSpec(settings::edgeGroupField(group)).label;
    message += "”的线型 " + line.style + " 与线宽 " + line.width + " 不是 Word 提供的组合";
    if (widths.empty()) return message + "（没有这种线型）。";
    message += "（这种线型的线宽可以是";
    for (std::size_t i = 0; i < widths.size(); ++i) message += (i == 0 ? " " : "、") + std::to_string(widths[i]);
    return message + "）。";
}

}  // namespace

std::optional<std::string> checkTableSettings(const settings::PanelState& panel, const settings::FormatSettings& s) {
    using F = settings::FormatSettings;
    if (auto problem = checkNumber(s, "RowHeightCm", &F::RowHeightCm)) return problem;
    if (auto problem = checkNumber(s, "LineSpacingLines", &F::LineSpacingLines)) return problem;
    if (auto problem = checkNumber(s, "CellRightMarginCm", &F::CellRightMarginCm)) return problem;
    if (auto problem = checkWidthBox(panel, "SpecifiedWidthCm", s.SpecifiedWidthCm)) return problem;
    if (auto problem = checkWidthBox(panel, "LeftIndentCm", s.LeftIndentCm)) return problem;
    for (settings::EdgeGroup group : settings::kEdgeGroups)
        if (auto problem = checkLine(group, panel.lines.of(group))) return problem;
    return std::nullopt;
}

std::optional<std::string> checkBodySettings(const settings::FormatSettings& s) {
    using F = settings::FormatSettings;
    if (auto problem = checkNumber(s, "BodyLineSpacing", &F::BodyLineSpacing)) return problem;
    if (auto problem = checkNumber(s, "BodySpaceBefore", &F::BodySpaceBefore)) return problem;
    if (auto problem = checkNumber(s, "BodySpaceAfter", &F::BodySpaceAfter)) return problem;
    if (auto problem = checkNumber(s, "BodyFirstLineIndent", &F::BodyFirstLineIndent)) return problem;
    return std::nullopt;
}

}  // namespace batch
