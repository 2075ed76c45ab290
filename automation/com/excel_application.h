// Excel reached through COM: the running Excel an embedded worksheet opens in, and a new Excel for the
// companion workbook. Only for Windows.
#pragma once

#include <memory>

#include "automation/excel.h"

namespace automation::com {

// Attaches with GetActiveObject("Excel.Application") and creates with CoCreateInstance from the same
// ProgID; both fail with 429 when there is no such Excel.
std::shared_ptr<excel::Launcher> createExcelLauncher();

}  // namespace automation::com
