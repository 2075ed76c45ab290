#include "settings/settings_file.h"

#include <algorithm>
#include <fstream>

#include "settings/controls.h"

namespace settings {

namespace {

// Word numbers stay far below this many digits; longer texts cannot be line styles or widths.
constexpr std::size_t kMaxWordNumberDigits = 9;

bool isWordNumber(std::string_view text) {
    return !text.empty() && text.size() <= kMaxWordNumberDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string quoted(std::string_view text) {
    std::string out = "“";
    out += text;
    out += "”";
    return out;
}

std::optional<EdgeGroup> groupOfField(Field key) {
    for (EdgeGroup group : kEdgeGroups) {
        if (edgeGroupField(group) == key) {
            return group;
        }
    }
    return std::nullopt;
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<std::string> parseLineSpecText(std::string_view field, std::string_view text, EdgeGroup group,
                                             LineSpec& out) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) {
        return "设置项" + quoted(field) + "的值应写成“线型/线宽”（例如“1/8”），不能是" + quoted(text) + "。";
    }
    const std::string_view style = text.substr(0, slash);
    const std::string_view width = text.substr(slash + 1);
    if ((!style.empty() && !isWordNumber(style)) || !isWordNumber(width)) {
        return "设置项" + quoted(field) + "的值应写成“线型/线宽”（例如“1/8”），不能是" + quoted(text) + "。";
    }
    if (style.empty() && group != EdgeGroup::LeftRight) {
        return "设置项" + quoted(field) + "的线型不能为空，只有左右边框可以不显示。";
    }
    out = LineSpec{std::string(style), std::string(width)};
    return std::nullopt;
}

std::optional<std::string> checkField(std::string_view field, std::string_view text) {
    const ControlSpec* entry = findField(field);
    if (entry == nullptr) {
        return "未知的设置项" + quoted(field) + "。";
    }
    if (entry->kind == ControlKind::CheckBox && text != "1" && text != "0") {
        return "设置项" + quoted(field) + "的值只能是“1”或“0”，不能是" + quoted(text) + "。";
    }
    if (entry->kind == ControlKind::LinePreview) {
        LineSpec ignored;
        return parseLineSpecText(field, text, *groupOfField(entry->key), ignored);
    }
    return std::nullopt;
}

std::optional<std::string> setField(FormatSettings& settings, std::string_view field, std::string_view text,
                                    const NumberLocale& locale) {
    if (auto error = checkField(field, text)) {
        return error;
    }
    const ControlSpec& entry = *findField(field);
    switch (entry.kind) {
        case ControlKind::CheckBox: setChecked(settings, entry.key, text == "1"); break;
        case ControlKind::LinePreview: {
            LineSpec line;
            parseLineSpecText(field, text, *groupOfField(entry.key), line);
            setLine(settings, entry.key, line, locale);
            break;
        }
        case ControlKind::ComboBox: setText(settings, entry.key, text, locale); break;
        case ControlKind::AlignmentIcons: break;
    }
    return std::nullopt;
}

std::optional<std::string> splitAssignment(std::string_view assignment, SettingAssignment& out) {
    const auto equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        return "缺少“=”，应写成“设置项=值”：" + quoted(assignment) + "。";
    }
    const std::string_view field = trimSpaces(assignment.substr(0, equals));
    if (field.empty()) {
        return "“=”前缺少设置项名称：" + quoted(assignment) + "。";
    }
    out.field = std::string(field);
    out.text = std::string(assignment.substr(equals + 1));
    return std::nullopt;
}

SettingsFile parseSettingsFile(std::string_view content) {
    SettingsFile file;
    if (content.starts_with("\xEF\xBB\xBF")) {
        content.remove_prefix(3);
    }
    int lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::string_view visible = trimSpaces(line);
        if (visible.empty() || visible.front() == '#') {
            continue;
        }
        SettingAssignment assignment;
        assignment.line = lineNumber;
        const std::string prefix = "第" + std::to_string(lineNumber) + "行：";
        if (auto error = splitAssignment(line, assignment)) {
            file.errors.push_back(prefix + *error);
            continue;
        }
        if (auto error = checkField(assignment.field, assignment.text)) {
            file.errors.push_back(prefix + *error);
            continue;
        }
        file.assignments.push_back(std::move(assignment));
    }
    return file;
}

std::optional<std::string> readSettingsFile(const std::filesystem::path& path, const std::string& shownName,
                                            std::vector<SettingAssignment>& out) {
    out.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return "设置文件不是普通文件，或者不存在：" + shownName;
    if (std::filesystem::file_size(path, ec) > kMaxSettingsFileBytes) return "设置文件太大：" + shownName;
    std::ifstream file(path, std::ios::binary);
    if (!file) return "无法读取设置文件：" + shownName;
    std::string content;
    content.resize(kMaxSettingsFileBytes + 1);
    file.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(file.gcount()));
    if (content.size() > kMaxSettingsFileBytes) return "设置文件太大：" + shownName;
    SettingsFile parsed = parseSettingsFile(content);
    if (!parsed.ok()) {
        std::string message = "设置文件 " + shownName + " 有误：";
        for (const std::string& error : parsed.errors) message += "\n  " + error;
        return message;
    }
    out = std::move(parsed.assignments);
    return std::nullopt;
}

std::string settingsFileText(const FieldTexts& texts) {
    std::string text = "# Gridwright 排版设置：每行一个“设置项=值”\n";
    for (const ControlSpec& control : panelControls()) {
        if (control.field.empty()) continue;
        std::string value = texts[static_cast<std::size_t>(fieldIndex(control.key))];
        std::replace(value.begin(), value.end(), '\n', ' ');
        std::replace(value.begin(), value.end(), '\r', ' ');
        text += std::string(control.field) + "=" + value + "\n";
    }
    return text;
}

std::optional<std::string> writeSettingsFile(const std::filesystem::path& path, const std::string& shownName,
                                             const FieldTexts& texts) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << settingsFileText(texts);
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "无法写入设置文件：" + shownName;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return "无法写入设置文件：" + shownName;
    }
    return std::nullopt;
}

}  // namespace settings
