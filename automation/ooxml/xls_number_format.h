// Excel's number formats: what a cell shows for its value.
#pragma once

#include <string>

#include "automation/ooxml/xls_workbook.h"

namespace automation::ooxml::xls {

// The code of one of Excel's built-in formats (as a Chinese Excel shows them); "General" for unknown ones.
std::string builtinNumberFormat(int id);

// The text Excel displays for a value under a format code: General, digit placeholders with thousands
// separators, percentages, scientific notation, sections for negative numbers, zero and text, quoted
// literals, dates and times (Chinese formats included) in the 1900 or the 1904 date system.
std::string displayText(const CellValue& value, const std::string& formatCode, bool date1904);

}  // namespace automation::ooxml::xls
