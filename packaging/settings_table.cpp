// Prints what a command line can name, read from the panel table, for the manual pages and the shell
// completion (packaging/cli_docs.py reads it at build time), one tab-separated record a line:
//   field   FIELD  number|choice|check|line  CAPTION  VALUE...    a --set field and the values it offers
//   option  OptionN  EDGE CAPTION  LINE  STYLE/WIDTH            a --line choice of the line-style picker
#include <iostream>
#include <set>
#include <string>
#include <string_view>

#include "settings/controls.h"
#include "settings/line_spec.h"

namespace {

using namespace settings;

std::string_view kindName(Parse parse) {
    switch (parse) {
        case Parse::Number: return "number";
        case Parse::Choice: return "choice";
        case Parse::Check: return "check";
        case Parse::Line: return "line";
        case Parse::None: break;
    }
    return "";
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

// The group a line field sets ("TopBottomLine" -> TopBottom).
EdgeGroup groupOf(std::string_view field) {
    for (const EdgeGroup group : kEdgeGroups)
        if (edgeGroupField(group) == field) return group;
    return EdgeGroup::Inner;
}

}  // namespace

int main() {
    for (const ControlSpec& control : panelControls()) {
        if (control.field.empty() || control.parse == Parse::None) continue;
        // The label beside the control, a check box's own caption, or the placeholder of a box without either.
        const std::string_view caption = !control.label.empty()     ? control.label
                                         : !control.caption.empty() ? control.caption
                                                                    : control.defaultText;
        std::cout << "field\t" << control.field << '\t' << kindName(control.parse) << '\t' << caption;
        if (control.parse == Parse::Check) std::cout << "\t1\t0";
        for (const std::string_view item : control.items) std::cout << '\t' << item;
        if (control.parse == Parse::Line) {
            // The lines the picker offers for this group, as STYLE/WIDTH texts.
            std::set<std::string> seen;
            for (const PickerOption* option : pickerOptionsOf(groupOf(control.field))) {
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
        if (option.width) std::cout << ' ' << widthLabel(*option.width);
        std::cout << '\t' << option.style << '/' << option.width.value_or("") << '\n';
    }
    return 0;
}
