#include "utilities/form_fields.h"

#include <algorithm>
#include <array>

namespace utilities {

bool isFormField(std::string_view code) {
    static constexpr std::array<std::string_view, 3> kFormFields = {"FORMCHECKBOX", "FORMTEXT", "FORMDROPDOWN"};
    const auto start = code.find_first_not_of(" \t");
    if (start == std::string_view::npos) return false;
    code.remove_prefix(start);
    const std::string_view name = code.substr(0, code.find_first_of(" \t\\"));
    for (std::string_view form : kFormFields) {
        if (name.size() != form.size()) continue;
        if (std::equal(name.begin(), name.end(), form.begin(),
                       [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; }))
            return true;
    }
    return false;
}

FormFieldPositions::FormFieldPositions(automation::Document& document, PassOver& passOver) {
    passOver.run([&] {
        automation::FieldsPtr fields = document.Fields();
        const int count = fields->Count();
        for (int i = 1; i <= count; ++i) {
            passOver.run([&] {
                automation::FieldPtr field = fields->Item(i);
                if (isFormField(field->Code())) positions_.push_back(field->Result()->Start());
            });
        }
    });
    std::sort(positions_.begin(), positions_.end());
}

bool FormFieldPositions::within(int start, int end) const {
    const auto at = std::lower_bound(positions_.begin(), positions_.end(), start);
    return at != positions_.end() && *at < end;
}

}  // namespace utilities
