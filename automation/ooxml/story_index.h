// The main story flattened to Word's character positions.
//
// One pass over w:body gives every character position of the story: text counts its UTF-16 code units;
// a tab, a break, a symbol, a note reference, an inline object: 1; a paragraph mark: 1; an end-of-cell
// mark and an end-of-row mark: 1 each; deleted text, field codes and field markers: 0; content
// controls, hyperlinks, smart tags and bookmarks are transparent. Text boxes, headers, footers and
// notes are other stories and are not part of it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml {

struct Span {
    int start = 0;
    int end = 0;  // one past the last position
};

enum class SegmentKind : std::uint8_t {
    Text,      // characters of a w:t (node = the w:t)
    Char,      // one character standing for an element (tab, break, object, ...)
    ParaMark,  // a paragraph mark (node = the w:p)
    CellMark,  // an end-of-cell mark (node = the w:tc); it also ends the cell's last paragraph
    RowMark,   // an end-of-row mark (node = the w:tr)
};

struct Segment {
    int start;
    int length;
    SegmentKind kind;
    pugi::xml_node_struct* node;
    pugi::xml_node_struct* cell;  // innermost w:tc holding this segment, or null
    pugi::xml_node_struct* run;   // the w:r of a Text or Char segment, or null
};

// A field of the story: simple (w:fldSimple) or complex (w:fldChar begin, separate, end), in the order
// of its start; nested fields point to the field they stand in.
struct FieldRecord {
    bool simple = false;
    pugi::xml_node start;     // the w:fldSimple, or the begin w:fldChar
    pugi::xml_node separate;  // complex: the separate w:fldChar, or empty
    pugi::xml_node end;       // complex: the end w:fldChar; empty while the field is not closed
    std::string code;
    int parent = -1;        // the enclosing field
    bool inResult = false;  // within the enclosing field's result rather than its code
    bool complete = false;
    Span result{0, 0};  // the positions of its result
};

class StoryIndex {
public:
    explicit StoryIndex(pugi::xml_node body);

    int length() const { return static_cast<int>(text_.size()); }
    // One character per position.
    const std::u16string& text() const { return text_; }
    const std::vector<Segment>& segments() const { return segments_; }
    // Index of the segment holding position pos (0 <= pos < length()), or -1.
    int segmentAt(int pos) const;

    // Spans of structural nodes; false when the node is not (or no longer) part of the story.
    bool span(pugi::xml_node node, Span& out) const;
    bool contains(pugi::xml_node node) const { return spans_.count(node.internal_object()) != 0; }

    // The innermost cell holding position pos, or an empty node.
    pugi::xml_node cellAt(int pos) const;
    // The table a cell belongs to, and the cell a table is nested in (empty for outermost tables).
    pugi::xml_node tableOfCell(pugi::xml_node tc) const;
    pugi::xml_node cellOfTable(pugi::xml_node tbl) const;
    // The cell a paragraph stands in, or an empty node.
    pugi::xml_node cellOfParagraph(pugi::xml_node p) const;

    const std::vector<pugi::xml_node>& paragraphs() const { return paragraphs_; }
    const std::vector<pugi::xml_node>& outerTables() const { return outerTables_; }
    // Every table in document order of its start, nested ones included.
    const std::vector<pugi::xml_node>& allTables() const { return allTables_; }

    // Range.Text of [start, end): marks of cells and rows appear as "\r\a".
    std::u16string rangeText(int start, int end) const;

    // Every field met, complete or not, in document order of its start.
    const std::vector<FieldRecord>& fields() const { return fields_; }

    // Follows the removal of whole rows or tables from the DOM that held the positions [start, end):
    // their entries go, everything after moves up, the structures around them shrink. Cheaper than
    // building the index anew, which a loop that deletes row after row would otherwise pay each time.
    void removeRange(int start, int end);
    // Forgets a field and the fields nested in it once it has been unlinked; positions stay as they are.
    void dropField(int index);

private:
    void blockContainer(pugi::xml_node container, pugi::xml_node cell, bool direct, int depth);
    void paragraph(pugi::xml_node p, pugi::xml_node cell);
    void inlineContent(pugi::xml_node parent, pugi::xml_node p, pugi::xml_node cell, int depth);
    void runContent(pugi::xml_node parent, pugi::xml_node run, pugi::xml_node cell, int depth);
    void table(pugi::xml_node tbl, pugi::xml_node cell, int depth);
    void rowsOf(pugi::xml_node container, pugi::xml_node tbl, pugi::xml_node cell, int depth);
    void row(pugi::xml_node tr, pugi::xml_node cell, int depth);
    void cellsOf(pugi::xml_node container, pugi::xml_node tbl, int depth);
    void tableCell(pugi::xml_node tc, pugi::xml_node tbl, int depth);
    void push(SegmentKind kind, int length, pugi::xml_node node, pugi::xml_node cell, pugi::xml_node run,
              std::u16string_view chars);

    std::u16string text_;
    std::vector<Segment> segments_;
    std::unordered_map<pugi::xml_node_struct*, Span> spans_;
    std::unordered_map<pugi::xml_node_struct*, pugi::xml_node_struct*> parentOf_;  // tc->tbl, tbl->tc, p->tc
    std::vector<pugi::xml_node> paragraphs_;
    std::vector<pugi::xml_node> outerTables_;
    std::vector<pugi::xml_node> allTables_;
    int fieldCodeDepth_ = 0;           // > 0 while inside a field's code
    std::vector<bool> fieldInResult_;  // per open complex field: past its separator
    int lastDirectParaMark_ = -1;      // segment of the last paragraph mark of the current cell
    std::vector<FieldRecord> fields_;
    std::vector<int> openFields_;  // fields begun and not yet ended, innermost last

    int openField(bool simple, pugi::xml_node start);
    int innermostComplexField() const;
    void fieldMarker(pugi::xml_node fldChar, const std::string& type);
};

}  // namespace automation::ooxml
