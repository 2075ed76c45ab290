// Prints what a command line can name, read from the panel table, for the manual pages and the shell
// completion (packaging/cli_docs.py reads it at build time), one tab-separated record a line:
//   field   FIELD  number|choice|check|line  CAPTION  VALUE...    a --set field and the values it offers
//   option  OptionN  EDGE CAPTION  LINE  STYLE/WIDTH            a --line choice of the line-style picker
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <variant>

#include "settings/controls.h"
#include "settings/line_spec.h"

namespace {

using namespace settings;

// How --set reads the field, told by the type of the member it fills; empty for a field no command reads.
std::string_view kindName(const Member& member) {
    if (std::holds_alternative<std::monostate>(member)) return "";
    if (std::holds_alternative<NumericSetting FormatSettings::*>(member)) return "number";
    if (std::holds_alternative<bool FormatSettings::*>(member)) return "check";
    if (std::holds_alternative<LineNumbers FormatSettings::*>(member)) return "line";
    return "choice";
}

std::string_view columnName(SampleColumn column) {
    switch (column) {
        case SampleColumn::Single: return "单线";
        case SampleColumn::Dotted: return "点线";
        case SampleColumn::Double: return "双线";
        case SampleColumn::NoLine: break;
    }
    return kNoLineCaption;
}

// The group a line field sets (TopBottomLine -> TopBottom).
EdgeGroup groupOf(Field key) {
    for (const EdgeGroup group : kEdgeGroups)
        if (edgeGroupField(group) == key) return group;
    return EdgeGroup::Inner;
}

// The width of a choice as its sample shows it: "¼ 磅", "1 ½ 磅".
std::string_view widthLabel(const PickerOption& option) {
    const SampleImage* image = findSampleImage(option.sampleImage);
    return image == nullptr ? std::string_view() : image->label;
}

}  // namespace

int main() {
    for (const ControlSpec& control : panelControls()) {
        const std::string_view kind = kindName(control.member);
        if (control.field.empty() || kind.empty()) continue;
        // The label beside the control, a check box's own caption, or the placeholder of a box without either.
        const std::string_view caption = !control.label.empty()     ? control.label
                                         : !control.caption.empty() ? control.caption
                                                                    : control.defaultText;
        std::cout << "field\t" << control.field << '\t' << kind << '\t' << caption;
        if (kind == "check") std::cout << "\t1\t0";
        for (const std::string_view item : control.items) std::cout << '\t' << item;
        if (kind == "line") {
            // The lines the picker offers for this group, as STYLE/WIDTH texts.
            std::set<std::string> seen;
            for (const PickerOption* option : pickerOptionsOf(groupOf(control.key))) {
                if (!option->width) continue;
                const std::string text = std::string(option->style) + "/" + std::string(*option->width);
                if (seen.insert(text).second) std::cout << '\t' << text;
            }
        }
        std::cout << '\n';
    }
    for (const PickerOption& option : pickerOptions()) {
        std::cout << "option\t" << option.name << '\t' << edgeGroupCaption(option.group) << '\t'
                  << columnName(option.column);
        if (option.width) std::cout << ' ' << widthLabel(option);
        std::cout << '\t' << option.style << '/' << option.width.value_or("") << '\n';
    }
    return 0;
}
