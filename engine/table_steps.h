// The steps a format run applies to one table, each working on Word's selection.
//
// Every Word operation of a step runs through the run's PassOver, so whether a failure is passed over
// or ends the run is decided by the state the run has put it in (see FormatRun::formatTable). The steps are listed in the order
// the run calls them.
#pragma once

#include <string>

#include "automation/word.h"
#include "commands/pass_over.h"
#include "settings/format_settings.h"

namespace engine {

// The table a pass works on: ActiveDocument.Tables.Item(i) in whole-document mode, or the table that
// held Word's selection when a single-table pass began.
class CurrentTable {
public:
    static CurrentTable ofDocument(int index);
    // Takes Selection.Tables.Item(1) now. When the selection is in no table, the failure is kept and
    // raised by every later use, so each operation that addresses the table fails on its own.
    static CurrentTable ofSelection(automation::Application& word);

    automation::TablePtr get(automation::Application& word) const;

private:
    int index_ = 0;
    automation::TablePtr table_;
    long errorNumber_ = 0;
    std::string errorMessage_;
};

// What every step is given.
struct TablePass {
    automation::Application& word;
    const settings::FormatSettings& settings;
    commands::PassOver& passOver;
    CurrentTable table;
};

// Whole-document mode: ActiveDocument.Tables.Item(i).Select.
void selectTable(TablePass& pass, int index);
// True when the selection's left and top borders are both none (or cannot be read while pass-over
// is on): such a table is left alone.
bool isBorderless(TablePass& pass);

void setLineSpacing(TablePass& pass);
void resetPreferredWidth(TablePass& pass);
void setRowHeight(TablePass& pass);
// Fits the table to the page, or gives it a width and a left indent.
void applyWidthMode(TablePass& pass);
void centreVertically(TablePass& pass);
void setBorders(TablePass& pass);
void setFonts(TablePass& pass);
void resetParagraphs(TablePass& pass);
// Selects the title rows: rows 1 and 2, then row 1 by itself when Word can address it. Returns false
// when neither selection could be made (the selection is then what it was).
bool selectHeaderRows(TablePass& pass);
void alignHeaderRows(TablePass& pass);
// Sets or clears the repeat flag of the selected title rows. When neither title selection could be
// made the selection is still the whole table: clearing the flags there is what an unchecked box asks
// for, but setting them would make every row a title row that repeats on every page, so then the
// flags stay as they are.
void setRepeatHeaderRows(TablePass& pass, bool titleSelected);
// Selects the cells right of column 1 below the title: from row 3, then from row 2 when Word can
// address cell (2, 2).
void selectOtherArea(TablePass& pass);
void removeSpaces(TablePass& pass);
// Aligns the selection; "居右" adds the cell right margin when one is set.
void alignOtherArea(TablePass& pass);
void setCellRightMargin(TablePass& pass);

// A line's style or width as Word receives it; a text that was no number raises Word's conversion
// error (type mismatch, or overflow for one too large).
int wordNumber(const settings::LineNumber& number);

}  // namespace engine
