// The embedded Word's object handles: light views onto the DOM of an open document.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "automation/ooxml/document_model.h"
#include "automation/ooxml/table_grid.h"
#include "automation/word.h"

namespace automation::ooxml {

using ModelPtr = std::shared_ptr<DocumentModel>;

Area textArea(int start, int end);
Area blockArea(pugi::xml_node table, int row1, int row2, int grid1, int grid2);
Area wholeTableArea(const TableGrid& grid);
// The story span an area covers.
Span areaSpan(DocumentModel& model, const Area& area);
// Word's rule for selecting a range: start in one cell and end in another cell of the same table
// gives the block between the two corner cells; anything else is a text range.
Area areaForRange(DocumentModel& model, int start, int end);
// The paragraphs an area touches, in document order (paragraphs of nested tables included).
std::vector<pugi::xml_node> areaParagraphs(DocumentModel& model, const Area& area);
// The innermost table holding the area's start, or an empty node.
pugi::xml_node areaTable(DocumentModel& model, const Area& area);
// The tables an area touches: the innermost one at its start first.
std::vector<pugi::xml_node> areaTables(DocumentModel& model, const Area& area);

// Word's answer for a property read over several paragraphs, runs, rows or cells: their common value,
// or wdUndefined once two differ.
template <typename T>
class Uniform {
public:
    // Adds one item's value; false once the values differ, so that callers may stop reading.
    bool add(T value) {
        if (!value_)
            value_ = value;
        else if (*value_ != value)
            mixed_ = true;
        return !mixed_;
    }
    bool empty() const { return !value_; }
    // The common value; none when no value was added.
    T value(T none) const { return mixed_ ? static_cast<T>(wdUndefined) : value_.value_or(none); }

private:
    std::optional<T> value_;
    bool mixed_ = false;
};

// Throws objectDeleted when node no longer stands in the story.
void requireLive(DocumentModel& model, pugi::xml_node node);

RangePtr makeRange(const ModelPtr& model, int start, int end);
SelectionPtr makeSelection(const ModelPtr& model);
TablesPtr makeTables(const ModelPtr& model, std::vector<pugi::xml_node> tables);
TablesPtr makeDocumentTables(const ModelPtr& model);
TablePtr makeTable(const ModelPtr& model, pugi::xml_node tbl);
RowsPtr makeRows(const ModelPtr& model, pugi::xml_node tbl, int row1, int row2);
ColumnsPtr makeColumns(const ModelPtr& model, pugi::xml_node tbl, int grid1, int grid2, bool fromSelection);
CellsPtr makeCells(const ModelPtr& model, pugi::xml_node tbl, std::vector<pugi::xml_node> cells);
CellPtr makeCell(const ModelPtr& model, pugi::xml_node tc);
FontPtr makeFont(const ModelPtr& model, const Area& area);
ParagraphFormatPtr makeParagraphFormat(const ModelPtr& model, const Area& area);
BordersPtr makeBorders(const ModelPtr& model, const Area& area);
ParagraphsPtr makeParagraphs(const ModelPtr& model, const Area& area);
ParagraphPtr makeParagraph(const ModelPtr& model, pugi::xml_node p);
InlineShapesPtr makeInlineShapes(const ModelPtr& model);
// Find over a range (scope = the range) or over the selection (scope = the selection's area).
FindPtr makeFind(const ModelPtr& model, const Area& scope, bool fromSelection);
FieldsPtr makeFields(const ModelPtr& model);

// Nodes worked out from the story (paragraphs, field starts), kept while the text stays as it was.
class KeptNodes {
public:
    template <typename Build>
    const std::vector<pugi::xml_node>& get(DocumentModel& model, Build build) {
        model.check();
        if (!cached_ || version_ != model.textVersion()) {
            nodes_ = build();
            version_ = model.textVersion();
            cached_ = true;
        }
        return nodes_;
    }
    // Collection.Item(index): the index-th node, counting from 1; 5941 when there is none.
    static pugi::xml_node item(const std::vector<pugi::xml_node>& nodes, int index);

private:
    bool cached_ = false;
    std::uint64_t version_ = 0;
    std::vector<pugi::xml_node> nodes_;
};

// What an embedded object (w:object) is: its OLE class, whether it is linked, the relationship Id of
// its data. Nothing for anything else.
struct OleObjectInfo {
    std::string progId;
    bool linked = false;
    std::string relationshipId;
};
std::optional<OleObjectInfo> oleObjectInfo(pugi::xml_node object);
// Throws objectDeleted unless the inline shape node still stands at position.
void requireShape(DocumentModel& model, pugi::xml_node node, int position);
// Selection.PasteAndFormat: the range on the clipboard replaces the inline object the selection holds,
// as a Word table. Fails with 4198, changing nothing, when the clipboard is empty or no object is selected.
void pasteClipboardRange(DocumentModel& model);

// Sets Word's selection to an area and tells the host the document changed its view.
void selectArea(DocumentModel& model, const Area& area);

}  // namespace automation::ooxml
