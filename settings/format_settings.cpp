#include "settings/format_settings.h"

#include <array>
#include <utility>

namespace settings {

std::optional<float> chineseFontSizePoints(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, float>, 4> sizes = {
        {{"四号", 14.0F}, {"小四", 12.0F}, {"五号", 10.5F}, {"小五", 9.0F}}};
    for (const auto& [sizeName, points] : sizes) {
        if (sizeName == name) {
            return points;
        }
    }
    return std::nullopt;
}

namespace {

// The item of a choice list that equals the text exactly, other than "不变"; none otherwise.
std::optional<std::string_view> chosenItem(const ControlSpec& entry, std::string_view text) {
    for (std::string_view item : entry.items) {
        if (item == text) {
            if (item == kUnchanged) {
                return std::nullopt;
            }
            return item;
        }
    }
    return std::nullopt;
}

using NumericMember = NumericSetting FormatSettings::*;

struct NumericField {
    std::string_view field;
    NumericMember member;
};

constexpr std::array<NumericField, 3> kTableNumbers = {{{"RowHeightCm", &FormatSettings::RowHeightCm},
                                                        {"LineSpacingLines", &FormatSettings::LineSpacingLines},
                                                        {"CellRightMarginCm", &FormatSettings::CellRightMarginCm}}};

constexpr std::array<NumericField, 4> kBodyNumbers = {{{"BodyLineSpacing", &FormatSettings::BodyLineSpacing},
                                                       {"BodySpaceBefore", &FormatSettings::BodySpaceBefore},
                                                       {"BodySpaceAfter", &FormatSettings::BodySpaceAfter},
                                                       {"BodyFirstLineIndent", &FormatSettings::BodyFirstLineIndent}}};

template <std::size_t N>
std::optional<SettingProblem> firstInvalid(const FormatSettings& settings, const std::array<NumericField, N>& fields) {
    for (const NumericField& numeric : fields) {
        const NumericSetting& setting = settings.*numeric.member;
        if (setting.isInvalid()) {
            const ControlSpec& entry = fieldSpec(numeric.field);
            return SettingProblem{std::string(numeric.field), std::string(entry.name), std::string(entry.label),
                                  setting.text, invalidNumberMessage(entry.label, setting.text)};
        }
    }
    return std::nullopt;
}

}  // namespace

FormatSettings buildFormatSettings(const PanelState& panel, const NumberLocale& locale) {
    FormatSettings settings;
    settings.numberLocale = locale;
    settings.TopBottomLine = panel.lines.TopBottomLine;
    settings.LeftRightLine = panel.lines.LeftRightLine;
    settings.InnerLine = panel.lines.InnerLine;

    const auto numeric = [&](std::string_view field) {
        NumericSetting setting;
        setting.text = std::string(panel.text(field));
        if (!setting.isUnchanged()) {
            setting.value = textToSingle(setting.text, locale);
        }
        return setting;
    };
    const auto choice = [&](std::string_view field) { return chosenItem(fieldSpec(field), panel.text(field)); };
    const auto font = [&](std::string_view field) -> std::optional<std::string> {
        if (const auto item = choice(field)) {
            return std::string(*item);
        }
        return std::nullopt;
    };
    const auto size = [&](std::string_view field) -> std::optional<float> {
        if (const auto item = choice(field)) {
            return chineseFontSizePoints(*item);
        }
        return std::nullopt;
    };
    const auto align = [&](std::string_view field) -> std::optional<HorizontalAlign> {
        const auto item = choice(field);
        if (item == "居中") {
            return HorizontalAlign::Centre;
        }
        if (item == "居右") {
            return HorizontalAlign::Right;
        }
        return std::nullopt;
    };

    settings.RowHeightCm = numeric("RowHeightCm");
    const auto mode = choice("TableWidthMode");
    settings.TableWidthMode = mode == "调整到页面宽度" ? WidthMode::FitToPage
                              : mode == "指定宽度"     ? WidthMode::Specified
                                                       : WidthMode::Unchanged;
    settings.SpecifiedWidthCm = textToSingle(panel.text("SpecifiedWidthCm"), locale);
    settings.LeftIndentCm = textToSingle(panel.text("LeftIndentCm"), locale);
    settings.IncludeBorderlessTables = panel.checked("IncludeBorderlessTables");

    settings.LineSpacingLines = numeric("LineSpacingLines");
    settings.TextFont = font("TextFont");
    settings.NumberFont = font("NumberFont");
    settings.FontSize = size("FontSize");
    settings.CellRightMarginCm = numeric("CellRightMarginCm");
    settings.AddThousandsSeparators = panel.checked("AddThousandsSeparators");
    settings.RemoveSpaces = panel.checked("RemoveSpaces");

    settings.HeaderRowAlign = align("HeaderRowAlign");
    settings.OtherAreaAlign = align("OtherAreaAlign");
    settings.RepeatHeaderRows = panel.checked("RepeatHeaderRows");

    settings.BodySpaceBefore = numeric("BodySpaceBefore");
    settings.BodySpaceAfter = numeric("BodySpaceAfter");
    settings.BodyLineSpacing = numeric("BodyLineSpacing");
    settings.BodyFirstLineIndent = numeric("BodyFirstLineIndent");
    settings.BodyFontSize = size("BodyFontSize");
    settings.BodyTextFont = font("BodyTextFont");
    settings.BodyNumberFont = font("BodyNumberFont");
    return settings;
}

std::string invalidNumberMessage(std::string_view label, std::string_view text) {
    std::string message = "“";
    message += label;
    message += "”中的“";
    message += text;
    message += "”不是有效的数字。";
    return message;
}

std::optional<SettingProblem> firstInvalidTableNumber(const FormatSettings& settings) {
    return firstInvalid(settings, kTableNumbers);
}

std::optional<SettingProblem> firstInvalidBodyNumber(const FormatSettings& settings) {
    return firstInvalid(settings, kBodyNumbers);
}

}  // namespace settings
