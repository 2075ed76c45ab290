// Thousands separators for numbers with a decimal point, over the whole main text of the active document.
#pragma once

#include "automation/word.h"

namespace engine {

// Puts a comma between the thousands of the integer part of every number written with one decimal
// point followed by at least one digit ("1234567.89" -> "1,234,567.89"), with Word's wildcard find and
// replace over the document's main text; a number right after a letter too ("A12345.6"). Left as they
// are: fraction digits, numbers without a point, numbers already grouped, decimal-comma numbers
// ("23835512,64"), digit groups before a comma ("0571,8888"), numbers run together with a comma
// ("12345.678,23456.789") and dotted sequences such as dates and versions ("2023.12.31",
// "1.2.3456.7"). Word's selection keeps its text. The number of finds and replace-alls does not grow
// with the document. Failures of Word propagate, with the text as it was apart from the separators
// already in.
void addThousandsSeparators(automation::Application& word);

}  // namespace engine
