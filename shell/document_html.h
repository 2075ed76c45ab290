// The active document of a Word as HTML for the document window: paragraphs with their font, size
// and alignment, tables with their lines, width, indent and cell alignment. Everything is read
// through Word's object model. Every paragraph and every table cell starts with an anchor named
// "w<position>" (the Word position where it starts), so a click in the view can be turned back into
// a place in the document.
#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "automation/ooxml/application.h"
#include "automation/word.h"

namespace shell {

// Where merged cells stand in a table given by its range; Word's object model itself does not say.
using TableLayoutSource = std::function<std::optional<automation::ooxml::TableLayout>(int start, int end)>;

// Without a layout source merged cells are approximated from the cells Word can address.
QString documentHtml(automation::Document& document, const TableLayoutSource& layouts = {});

// The Word position of an anchor name made by documentHtml; none for any other name.
std::optional<int> anchorPosition(const QString& anchorName);

}  // namespace shell
