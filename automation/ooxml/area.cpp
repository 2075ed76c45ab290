// Areas: what a range or the selection covers, and Word's rules for turning ranges into selections.
#include <algorithm>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

Area textArea(int start, int end) {
    Area a;
    a.kind = Area::Kind::Text;
    a.start = std::min(start, end);
    a.end = std::max(start, end);
    return a;
}

Area blockArea(pugi::xml_node table, int row1, int row2, int grid1, int grid2) {
    Area a;
    a.kind = Area::Kind::Block;
    a.table = table;
    a.row1 = std::min(row1, row2);
    a.row2 = std::max(row1, row2);
    a.grid1 = std::min(grid1, grid2);
    a.grid2 = std::max(grid1, grid2);
    return a;
}

Area wholeTableArea(const TableGrid& grid) {
    return blockArea(grid.table(), 1, std::max(1, grid.rowCount()), 0, std::max(0, grid.gridWidth() - 1));
}

void requireLive(DocumentModel& model, pugi::xml_node node) {
    if (!node || !model.isLive(node)) throw errors::objectDeleted();
}

Span areaSpan(DocumentModel& model, const Area& area) {
    if (area.kind == Area::Kind::Text) return Span{area.start, area.end};
    const StoryIndex& index = model.index();
    const TableGrid& grid = model.grid(area.table);
    auto cells = grid.block(area.row1, area.row2, area.grid1, area.grid2);
    Span out{0, 0};
    if (cells.empty()) {
        index.span(area.table, out);
        return out;
    }
    Span first, last;
    index.span(cells.front()->tc, first);
    index.span(cells.back()->tc, last);
    out = Span{first.start, last.end};
    // A block of whole rows ends after the last row's end-of-row mark.
    if (area.grid1 == 0 && area.grid2 >= grid.gridWidth() - 1) {
        Span rowSpan;
        if (index.span(grid.row(std::min(area.row2, grid.rowCount())).tr, rowSpan)) out.end = rowSpan.end;
    }
    return out;
}

namespace {

// The chain of cells from the outermost to the innermost one holding a position.
std::vector<pugi::xml_node> cellChain(const StoryIndex& index, pugi::xml_node innermost) {
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node tc = innermost; tc; tc = index.cellOfTable(index.tableOfCell(tc))) chain.push_back(tc);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

}  // namespace

Area areaForRange(DocumentModel& model, int start, int end) {
    const StoryIndex& index = model.index();
    const int length = index.length();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, start, length);
    if (end - start < 1) return textArea(start, end);
    pugi::xml_node startCell = index.cellAt(start);
    pugi::xml_node endCell = index.cellAt(end - 1);
    if (!startCell || !endCell || startCell == endCell) return textArea(start, end);
    // Find the deepest table both corners lie in, and the corner cells at that level.
    auto a = cellChain(index, startCell);
    auto b = cellChain(index, endCell);
    pugi::xml_node cornerA, cornerB;
    for (size_t level = 0; level < std::min(a.size(), b.size()); ++level) {
        if (index.tableOfCell(a[level]) != index.tableOfCell(b[level])) break;
        cornerA = a[level];
        cornerB = b[level];
        if (a[level] != b[level]) break;
    }
    if (!cornerA || cornerA == cornerB) return textArea(start, end);
    // The end must reach the end of its corner cell's content or beyond within that cell: Word
    // extends a range that crosses cells to whole cells.
    pugi::xml_node tbl = index.tableOfCell(cornerA);
    const TableGrid& grid = model.grid(tbl);
    const GridCell* ca = grid.cellOf(cornerA);
    const GridCell* cb = grid.cellOf(cornerB);
    if (!ca || !cb) return textArea(start, end);
    return blockArea(tbl, std::min(grid.rowOf(*ca), grid.rowOf(*cb)), std::max(grid.rowOf(*ca), grid.rowOf(*cb)),
                     std::min(ca->gridStart, cb->gridStart), std::max(ca->gridEnd(), cb->gridEnd()));
}

std::vector<pugi::xml_node> areaParagraphs(DocumentModel& model, const Area& area) {
    std::vector<pugi::xml_node> out;
    if (area.kind == Area::Kind::Block) {
        const TableGrid& grid = model.grid(area.table);
        for (const GridCell* c : grid.block(area.row1, area.row2, area.grid1, area.grid2))
            for (pugi::xml_node p : wml::descendants(c->tc, "p", {"txbxContent"})) out.push_back(p);
        return out;
    }
    StoryIndex& index = model.index();
    const auto& paragraphs = index.paragraphs();
    // First paragraph whose end lies after the start.
    auto it = std::partition_point(paragraphs.begin(), paragraphs.end(), [&](pugi::xml_node p) {
        Span s;
        index.span(p, s);
        return s.end <= area.start;
    });
    for (; it != paragraphs.end(); ++it) {
        Span s;
        index.span(*it, s);
        if (s.start >= area.end && !(area.start == area.end && s.start <= area.start)) break;
        out.push_back(*it);
        if (area.start == area.end) break;
    }
    return out;
}

pugi::xml_node areaTable(DocumentModel& model, const Area& area) {
    if (area.kind == Area::Kind::Block) return area.table;
    const StoryIndex& index = model.index();
    pugi::xml_node cell = index.cellAt(area.start);
    return cell ? index.tableOfCell(cell) : pugi::xml_node();
}

std::vector<pugi::xml_node> areaTables(DocumentModel& model, const Area& area) {
    std::vector<pugi::xml_node> out;
    if (pugi::xml_node first = areaTable(model, area)) out.push_back(first);
    if (area.kind == Area::Kind::Block) return out;
    StoryIndex& index = model.index();
    // Outer tables follow one another: the first that ends after the start is found by halving, so
    // that asking every paragraph of a long document for its tables stays linear.
    const auto& tables = index.outerTables();
    auto spanOf = [&](pugi::xml_node tbl) {
        Span s;
        index.span(tbl, s);
        return s;
    };
    auto from = std::partition_point(tables.begin(), tables.end(),
                                     [&](pugi::xml_node tbl) { return spanOf(tbl).end <= area.start; });
    for (auto it = from; it != tables.end(); ++it) {
        pugi::xml_node tbl = *it;
        const Span s = spanOf(tbl);
        if (s.start >= area.end) break;
        if (std::find(out.begin(), out.end(), tbl) == out.end()) {
            // An outer table holding the first one is the same table family; list it once.
            bool holdsFirst = false;
            if (!out.empty()) {
                for (pugi::xml_node t = out.front(); t; t = index.tableOfCell(index.cellOfTable(t)))
                    if (t == tbl) holdsFirst = true;
            }
            if (!holdsFirst) out.push_back(tbl);
        }
    }
    return out;
}

pugi::xml_node KeptNodes::item(const std::vector<pugi::xml_node>& nodes, int index) {
    if (index < 1 || index > static_cast<int>(nodes.size())) throw errors::noSuchMember();
    return nodes[static_cast<size_t>(index - 1)];
}

void selectArea(DocumentModel& model, const Area& area) {
    Area& sel = model.selection();
    sel = area;
    if (area.kind == Area::Kind::Block) {
        Span s = areaSpan(model, area);
        sel.start = s.start;
        sel.end = s.end;
    }
    model.word()->notifyChange();
}

}  // namespace automation::ooxml
