// Thousands separators for numbers with a decimal point, over the whole main text of the active document.
#pragma once

#include "automation/word.h"

namespace engine {

// Puts a comma between the thousands of every number of four or more digits that is followed by a
// full stop or a comma ("1234567.89" -> "1,234,567.89"), with Word's wildcard find and replace,
// repeated until the pattern no longer occurs. Failures of Word propagate.
void addThousandsSeparators(automation::Application& word);

// The most find-and-replace rounds the step makes. Each round adds a comma to every number still
// needing one, so a document would need a number of three million digits to reach it.
inline constexpr int kMaxThousandsRounds = 1'000'000;

// The same with another bound; when the find still reports a match after maxRounds replace-alls the
// step fails with an automation::Error instead of going on for ever.
void addThousandsSeparators(automation::Application& word, int maxRounds);

}  // namespace engine
