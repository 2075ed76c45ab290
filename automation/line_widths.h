// The line widths Word offers for each line style (Borders' LineWidth), in eighths of a point.
#pragma once

#include <span>

namespace automation {

// The widths, thinnest first; empty for a number that is no line style of Word's.
std::span<const int> lineWidthsOffered(int style);

}  // namespace automation
