// The main story flattened to Word's character positions.
//
// One pass over w:body gives every character position of the story: text counts its UTF-16 code units;
// a tab, a break, a symbol, a note reference, an inline object: 1; a paragraph mark: 1; an end-of-cell
// mark and an end-of-row mark: 1 each; deleted text, field codes and field markers: 0; content
// controls, hyperlinks, smart tags and bookmarks are transparent. Text boxes, headers, footers and
// notes are other stories and are not part of it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
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
using Segments = std::vector<Segment>;

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
    Span result{0, 0};     // the positions of its result
    bool dropped = false;  // unlinked, with the fields nested in it
};

// Counts over the places 0..n-1: prefix sums and the place of the k-th unit in O(log n).
class Fenwick {
public:
    Fenwick() = default;
    // Starts from the given counts, in O(n).
    explicit Fenwick(const std::vector<int>& counts);

    void add(int place, int delta);
    // The sum over the places [0, place).
    int prefix(int place) const;
    // The place holding the unit number k (0-based) when every count is 0 or more; -1 past the total.
    int placeOf(int k) const;

private:
    std::vector<int> tree_;
};

// Values of nodes in two flat arrays: the entries in the order they were added, and a hash of their
// numbers (open addressing). Entries are never removed. When it came in, this took a quarter of the
// 37 MB that a hash table of (node, value) pairs and the list of nodes kept beside it held at 1,000
// tables of 20 rows.
template <typename T>
class NodeTable {
public:
    // Adds an entry, which find() sees once index() has run; returns its number.
    size_t append(pugi::xml_node_struct* node, T value);
    T& value(size_t entry) { return entries_[entry].second; }
    void reserve(size_t entries) { entries_.reserve(entries); }
    // Hashes every entry added since the table was made (once, after the last append).
    void index();
    // The value of node, or null.
    const T* find(pugi::xml_node_struct* node) const;

private:
    std::vector<std::pair<pugi::xml_node_struct*, T>> entries_;
    std::vector<std::uint32_t> slots_;  // entry number + 1, or 0 for a free slot
};

// Nodes of one kind in document order, some of which removals have taken away: counts and the k-th
// remaining node without a walk over the others.
class NodeList {
public:
    void push(pugi::xml_node node) { nodes_.push_back(node); }
    // Called once every node is in; all of them count as present.
    void seal();
    int count() const { return present_; }
    // The k-th present node (0-based), or an empty node.
    pugi::xml_node at(int k) const;
    // Marks the node number i (in the order of push) as taken away; once only.
    void take(size_t i);
    bool taken(size_t i) const { return taken_[i] != 0; }
    const std::vector<pugi::xml_node>& all() const { return nodes_; }
    // Keeps only the present nodes.
    void compact();

private:
    std::vector<pugi::xml_node> nodes_;
    std::vector<char> taken_;
    Fenwick presentTree_;
    int present_ = 0;
};

// Structural nodes (paragraphs, tables, rows, cells) of the story.
struct NodeInfo {
    Span span;
    pugi::xml_node_struct* parent = nullptr;  // tc->tbl, tr->tbl, tbl->tc, p->tc
};

// Removals are recorded, not carried out: positions stay as built ("base" positions) and a record of
// the removed stretches translates them. Deleting row after row or table after table then costs
// O(log n) per removed character, and unlinking a field O(log n), instead of a pass over the whole
// index each; whoever asks for the whole text, all segments or all nodes of a kind gets them compacted
// once (which is why those members are not const). With the index built anew after every removal
// instead, unlinking 8,000 fields took 31 s of CPU time rather than 16 ms, and deleting the empty rows
// of 250 tables 4.2 s rather than 30 ms (bench/utilities_bench.cpp).
class StoryIndex {
public:
    // sizeHint is the size of the part's XML, from which room is set aside up front: growing the
    // arrays of a large document step by step would copy them several times. At 4,000 tables the
    // format run then takes 5,200 page faults instead of 9,400 and 2.7 s of CPU time instead of 3.0;
    // at 1,000 tables the difference is within the noise.
    explicit StoryIndex(pugi::xml_node body, std::size_t sizeHint = 0);

    int length() const { return baseLength() - removed_; }
    // One character per position.
    const std::u16string& text();
    const Segments& segments();
    // Index of the segment holding position pos (0 <= pos < length()), or -1.
    int segmentAt(int pos);

    // Spans of structural nodes; false when the node is not (or no longer) part of the story.
    bool span(pugi::xml_node node, Span& out) const;
    bool contains(pugi::xml_node node) const { return live(node.internal_object()) != nullptr; }

    // The innermost cell holding position pos, or an empty node.
    pugi::xml_node cellAt(int pos) const;
    // The table a cell belongs to, and the cell a table is nested in (empty for outermost tables).
    pugi::xml_node tableOfCell(pugi::xml_node tc) const;
    pugi::xml_node cellOfTable(pugi::xml_node tbl) const { return tableOfCell(tbl); }

    const std::vector<pugi::xml_node>& paragraphs();
    const std::vector<pugi::xml_node>& outerTables();
    int outerTableCount() const { return outerTables_.count(); }
    // The k-th outermost table (0-based), or an empty node.
    pugi::xml_node outerTable(int k) const { return outerTables_.at(k); }
    // Every table in document order of its start, nested ones included.
    const std::vector<pugi::xml_node>& allTables();

    // Range.Text of [start, end): marks of cells and rows appear as "\r\a".
    std::u16string rangeText(int start, int end) const;

    // Fields met, complete or not, in document order of their start; unlinked ones stay in the list,
    // marked dropped, until the index is built anew.
    const std::vector<FieldRecord>& fields();
    // The complete fields that are still there: their number, and the list index of the k-th (0-based).
    int completeFieldCount();
    int completeField(int k);
    // The list index of the field starting at node, or -1 when it is gone.
    int fieldStartingAt(pugi::xml_node start);

    // Follows the removal of whole rows, cells or tables from the DOM that held the positions
    // [start, end): their nodes and fields go, everything after moves up.
    void removeRange(int start, int end);
    // Forgets a field and the fields nested in it once it has been unlinked; positions stay as they are.
    void dropField(int index);

private:
    int baseLength() const { return static_cast<int>(text_.size()); }
    // Base position of position pos (0 <= pos <= length()); the reverse of current().
    int base(int pos) const;
    int current(int basePos) const;
    bool removedWhole(Span baseSpan) const;
    const NodeInfo* live(pugi::xml_node_struct* node) const;
    int baseSegmentAt(int basePos) const;
    // Carries out the recorded removals (the index answers as before).
    void compact();
    // Called once the walk is over.
    void finishBuild();

    void blockContainer(pugi::xml_node container, pugi::xml_node cell, bool direct, int depth);
    void paragraph(pugi::xml_node p, pugi::xml_node cell);
    void inlineContent(pugi::xml_node parent, pugi::xml_node p, pugi::xml_node cell, int depth);
    void runContent(pugi::xml_node parent, pugi::xml_node run, pugi::xml_node cell, int depth);
    void table(pugi::xml_node tbl, pugi::xml_node cell, int depth);
    void rowsOf(pugi::xml_node container, pugi::xml_node tbl, pugi::xml_node cell, int depth);
    void row(pugi::xml_node tr, pugi::xml_node tbl, pugi::xml_node cell, int depth);
    void cellsOf(pugi::xml_node container, pugi::xml_node tbl, int depth);
    void tableCell(pugi::xml_node tc, pugi::xml_node tbl, int depth);
    void push(SegmentKind kind, int length, pugi::xml_node node, pugi::xml_node cell, pugi::xml_node run,
              std::u16string_view chars);
    // Records a structural node starting here; its span ends with closeNode.
    size_t openNode(pugi::xml_node node, pugi::xml_node parent);
    void closeNode(size_t opened);

    std::u16string text_;
    Segments segments_;
    NodeTable<NodeInfo> nodes_;
    NodeList paragraphs_;
    NodeList outerTables_;
    NodeList allTables_;
    int fieldCodeDepth_ = 0;           // > 0 while inside a field's code
    std::vector<bool> fieldInResult_;  // per open complex field: past its separator
    int lastDirectParaMark_ = -1;      // segment of the last paragraph mark of the current cell
    std::vector<FieldRecord> fields_;
    std::vector<int> openFields_;  // fields begun and not yet ended, innermost last
    NodeTable<int> fieldStarts_;   // field start node -> list index
    Fenwick completeFields_;       // 1 for each complete field not dropped

    // Removed stretches in base positions, merged when they touch: start -> end.
    std::map<int, int> gaps_;
    // 1 for every base position whose character is still there (once something was removed).
    Fenwick live_;
    int removed_ = 0;

    int openField(bool simple, pugi::xml_node start);
    int innermostComplexField() const;
    void fieldMarker(pugi::xml_node fldChar, const std::string& type);
};

}  // namespace automation::ooxml
