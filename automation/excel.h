// Excel's object model as Gridwright uses it: the running Excel an embedded worksheet opens in, and a
// new Excel that opens the companion workbook.
//
// The same rules as Word's objects (automation/word.h): every object is a handle a backend backs with its
// own storage or with an IDispatch pointer; every member may fail with an automation::Error carrying
// Excel's (or COM's) error number; text is UTF-8; collections count from 1.
#pragma once

#include <memory>
#include <string>

#include "automation/error.h"

namespace automation::excel {

class Application;
class Workbooks;
class Workbook;
class Worksheets;
class Worksheet;
class Range;

using ApplicationPtr = std::shared_ptr<Application>;
using WorkbooksPtr = std::shared_ptr<Workbooks>;
using WorkbookPtr = std::shared_ptr<Workbook>;
using WorksheetsPtr = std::shared_ptr<Worksheets>;
using WorksheetPtr = std::shared_ptr<Worksheet>;
using RangePtr = std::shared_ptr<Range>;

// Why Excel could not open or copy a workbook, where it can tell.
enum class WorkbookProblem { Encrypted, OldVersion, Damaged, TooLarge };

// Excel's 1004 for a workbook it cannot open or copy, with the kind of problem and the reason alone
// (message() puts Excel's general text before it).
class WorkbookRefused : public Error {
public:
    WorkbookRefused(WorkbookProblem problem, const std::string& reason)
        : Error(errors::excelRefused(reason)), problem_(problem), reason_(reason) {}
    WorkbookProblem problem() const noexcept { return problem_; }
    const std::string& reason() const noexcept { return reason_; }

private:
    WorkbookProblem problem_;
    std::string reason_;
};

// How a program reaches Excel.
class Launcher {
public:
    virtual ~Launcher() = default;
    // The Excel already running, as GetObject(, "Excel.Application") attaches to it.
    // Fails with 429 when no Excel runs.
    virtual ApplicationPtr attachRunning() = 0;
    // A new Excel, as CreateObject("excel.application") starts one. Fails with 429 when Excel cannot start.
    virtual ApplicationPtr createNew() = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    // Fails with 91 when no workbook is open (Excel's ActiveWorkbook is then Nothing).
    virtual WorkbookPtr ActiveWorkbook() = 0;
    virtual WorkbooksPtr Workbooks() = 0;
};

class Workbooks {
public:
    virtual ~Workbooks() = default;
    virtual int Count() = 0;
    virtual WorkbookPtr Item(int index) = 0;
    // Workbooks.Open(FileName:=path); the opened workbook becomes the active one. Fails with 1004.
    virtual WorkbookPtr Open(const std::string& fileName) = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual std::string Name() = 0;
    virtual WorksheetsPtr Worksheets() = 0;
};

class Worksheets {
public:
    virtual ~Worksheets() = default;
    virtual int Count() = 0;
    // Fails with 9 (subscript out of range) when there is no such worksheet.
    virtual WorksheetPtr Item(int index) = 0;
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    virtual std::string Name() = 0;
    // Excel's used range: from the first to the last cell holding anything, not from A1.
    virtual RangePtr UsedRange() = 0;
    // Columns("A:Z"): whole columns named by letters.
    virtual RangePtr Columns(const std::string& address) = 0;
};

class Range {
public:
    virtual ~Range() = default;
    // The absolute A1 address, for example "$B$2:$D$9".
    virtual std::string Address() = 0;
    virtual RangePtr EntireColumn() = 0;
    // Fits the width of every column of the range to its widest displayed text.
    virtual void AutoFit() = 0;
    // Width of the range's first column in characters of the standard font.
    virtual double ColumnWidth() = 0;
    // Puts the range on the clipboard.
    virtual void Copy() = 0;
};

}  // namespace automation::excel
