// Legacy form fields (check boxes, text inputs, drop-down lists) of the main text. Word shows a check
// box without text of its own, so a cell holding one looks empty to Range.Text; and a form field is no
// link: unlinking it would throw away its state (a check box vanishes from the page).
#pragma once

#include <string_view>
#include <vector>

#include "utilities/pass_over.h"

namespace utilities {

// Whether a field code (Field.Code, for example " FORMCHECKBOX ") is that of a form field.
bool isFormField(std::string_view code);

// Where the document's form fields stand, read once through Document.Fields.
class FormFieldPositions {
public:
    FormFieldPositions(automation::Document& document, PassOver& passOver);
    // Whether a form field stands in the document range [start, end).
    bool within(int start, int end) const;

private:
    std::vector<int> positions_;  // sorted
};

}  // namespace utilities
