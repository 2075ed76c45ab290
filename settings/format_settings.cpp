#include "settings/format_settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <utility>
#include <variant>

#include "settings/controls.h"

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

LineNumber lineNumber(std::string_view text, const NumberLocale& locale) {
    LineNumber number{std::string(text), std::nullopt, LineNumber::Problem::None};
    int whole = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') ++first;
    const auto [end, problem] = std::from_chars(first, last, whole);
    if (first != last && end == last) {
        if (problem == std::errc::result_out_of_range) {
            number.problem = LineNumber::Problem::TooLarge;
            return number;
        }
        if (problem == std::errc()) {
            number.value = whole;
            return number;
        }
    }
    const std::optional<float> value = textToSingle(text, locale);
    if (!value) {
        number.problem = LineNumber::Problem::NotANumber;
        return number;
    }
    const double rounded = std::nearbyint(static_cast<double>(*value));  // halves go to the even neighbour
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max())) {
        number.problem = LineNumber::Problem::TooLarge;
        return number;
    }
    number.value = static_cast<int>(rounded);
    return number;
}

NumericSetting numericSetting(std::string_view text, const NumberLocale& locale) {
    NumericSetting setting;
    setting.text = std::string(text);
    if (!setting.isUnchanged()) setting.value = textToSingle(text, locale);
    return setting;
}

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Spelled out for clang 14 (the fuzz build), which does not deduce an aggregate's arguments yet.
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// The item of a choice list that equals the text exactly, other than "不变"; none otherwise.
std::optional<std::string_view> chosenItem(const ControlSpec& entry, std::string_view text) {
    for (std::string_view item : entry.items) {
        if (item == text) {
            if (item == kUnchanged) return std::nullopt;
            return item;
        }
    }
    return std::nullopt;
}

std::optional<HorizontalAlign> alignmentOf(std::optional<std::string_view> item) {
    if (item == "居中") return HorizontalAlign::Centre;
    if (item == "居右") return HorizontalAlign::Right;
    return std::nullopt;
}

WidthMode widthModeOf(std::optional<std::string_view> item) {
    if (item == "调整到页面宽度") return WidthMode::FitToPage;
    if (item == "指定宽度") return WidthMode::Specified;
    return WidthMode::Unchanged;
}

}  // namespace

FormatSettings defaultFormatSettings(const NumberLocale& locale) {
    FormatSettings settings;
    for (const ControlSpec& entry : panelControls()) {
        switch (entry.kind) {
            case ControlKind::ComboBox: setText(settings, entry.key, entry.defaultText, locale); break;
            case ControlKind::CheckBox: setChecked(settings, entry.key, entry.defaultChecked); break;
            case ControlKind::LinePreview: setLine(settings, entry.key, defaultLineSpec(), locale); break;
            case ControlKind::AlignmentIcons: break;
        }
    }
    return settings;
}

void setText(FormatSettings& settings, Field key, std::string_view text, const NumberLocale& locale) {
    const ControlSpec& entry = fieldSpec(key);
    if (entry.kind != ControlKind::ComboBox) return;
    std::visit(Overloaded{
                   [&](NumericSetting FormatSettings::*member) { settings.*member = numericSetting(text, locale); },
                   [&](WidthMode FormatSettings::*member) { settings.*member = widthModeOf(chosenItem(entry, text)); },
                   [&](std::optional<HorizontalAlign> FormatSettings::*member) {
                       settings.*member = alignmentOf(chosenItem(entry, text));
                   },
                   [&](std::optional<std::string> FormatSettings::*member) {
                       const auto item = chosenItem(entry, text);
                       settings.*member = item ? std::optional<std::string>(*item) : std::nullopt;
                   },
                   [&](std::optional<float> FormatSettings::*member) {
                       const auto item = chosenItem(entry, text);
                       settings.*member = item ? chineseFontSizePoints(*item) : std::nullopt;
                   },
                   [](auto) {},
               },
               entry.member);
}

void setChecked(FormatSettings& settings, Field key, bool on) {
    if (const auto* member = std::get_if<bool FormatSettings::*>(&fieldSpec(key).member)) settings.** member = on;
}

void setLine(FormatSettings& settings, Field key, const LineSpec& line, const NumberLocale& locale) {
    const auto* member = std::get_if<LineNumbers FormatSettings::*>(&fieldSpec(key).member);
    if (member == nullptr) return;
    LineNumbers numbers;
    if (!line.style.empty()) numbers.style = lineNumber(line.style, locale);
    numbers.width = lineNumber(line.width, locale);
    settings.** member = numbers;
}

const PickerOption* applyPickerOption(std::string_view name, FormatSettings& settings) {
    const PickerOption* option = findPickerOption(name);
    if (option == nullptr) return nullptr;
    LineNumbers& numbers =
        settings.*std::get<LineNumbers FormatSettings::*>(fieldSpec(edgeGroupField(option->group)).member);
    // The presets are whole numbers: no locale takes part.
    const NumberLocale plain;
    if (option->style.empty()) {
        numbers.style.reset();
    } else {
        numbers.style = lineNumber(option->style, plain);
    }
    if (option->width) numbers.width = lineNumber(*option->width, plain);
    return option;
}

}  // namespace settings
