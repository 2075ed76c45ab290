#include "automation/ooxml/table_grid.h"

#include <algorithm>

#include "automation/error.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

// Grid counts from the file (w:gridSpan, w:gridBefore, w:gridAfter) beyond any real table are taken as
// this many, and a row's grid position stops growing at kLastGridPosition: a hostile row can neither
// overflow the sums nor make the grid absurdly wide.
constexpr long kMostGridColumns = 4096;
constexpr int kLastGridPosition = 1 << 20;

int gridCount(pugi::xml_node property, long least) {
    return static_cast<int>(std::clamp(wml::intAttr(property, "w:val", least), least, kMostGridColumns));
}

void collect(pugi::xml_node container, std::string_view name, std::vector<pugi::xml_node>& out, int depth) {
    if (depth > 64) return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (wml::is(c, name)) {
            out.push_back(c);
        } else if (wml::is(c, "sdt")) {
            if (pugi::xml_node content = wml::child(c, "sdtContent")) collect(content, name, out, depth + 1);
        } else if (wml::is(c, "customXml")) {
            collect(c, name, out, depth + 1);
        }
    }
}

}  // namespace

std::vector<pugi::xml_node> TableGrid::rowNodes(pugi::xml_node tbl) {
    std::vector<pugi::xml_node> out;
    collect(tbl, "tr", out, 0);
    return out;
}

std::vector<pugi::xml_node> TableGrid::cellNodes(pugi::xml_node tr) {
    std::vector<pugi::xml_node> out;
    collect(tr, "tc", out, 0);
    return out;
}

TableGrid::TableGrid(pugi::xml_node tbl) {
    auto d = std::make_shared<TableGridData>();
    d->tbl = tbl;
    int declared = 0;
    if (pugi::xml_node grid = wml::child(tbl, "tblGrid"))
        for (pugi::xml_node g = grid.first_child(); g; g = g.next_sibling())
            if (wml::is(g, "gridCol")) ++declared;

    int r = 0;
    for (pugi::xml_node tr : rowNodes(tbl)) {
        GridRow row;
        row.tr = tr;
        pugi::xml_node trPr = wml::child(tr, "trPr");
        row.gridBefore = gridCount(wml::child(trPr, "gridBefore"), 0);
        row.gridAfter = gridCount(wml::child(trPr, "gridAfter"), 0);
        ++r;
        int g = row.gridBefore;
        int index = 0;
        bool horizontalMerge = false;  // the previous cell starts or continues a legacy horizontal merge
        for (pugi::xml_node tc : cellNodes(tr)) {
            pugi::xml_node tcPr = wml::child(tc, "tcPr");
            const int span = gridCount(wml::child(tcPr, "gridSpan"), 1);
            g = std::min(g + span, kLastGridPosition);
            // Word reads a legacy horizontal merge (w:hMerge restart, then continuing cells) as one cell.
            pugi::xml_node hMerge = wml::child(tcPr, "hMerge");
            const bool continues = hMerge && wml::val(hMerge) != "restart";
            if (continues && horizontalMerge && !row.cells.empty()) {
                row.cells.back().span += span;
                row.cells.back().merged.push_back(tc);
                continue;
            }
            horizontalMerge = static_cast<bool>(hMerge);
            GridCell cell;
            cell.tc = tc;
            cell.slot = r - 1;
            cell.index = ++index;
            cell.gridStart = g - span;
            cell.span = span;
            if (pugi::xml_node vm = wml::child(tcPr, "vMerge"))
                cell.vmerge = wml::val(vm) == "restart" ? VMerge::Restart : VMerge::Continue;
            row.cells.push_back(cell);
        }
        for (const GridCell& cell : row.cells)
            if (cell.span != 1) d->uniform = false;
        if (row.gridBefore || row.gridAfter) d->uniform = false;
        d->gridWidth = std::max(d->gridWidth, g + row.gridAfter);
        d->columnCount = std::max(d->columnCount, static_cast<int>(row.cells.size()));
        d->rows.push_back(std::move(row));
    }
    d->gridWidth = std::max(d->gridWidth, declared);
    d->declaredWidth = declared;
    d->rowCount = r;
    for (const GridRow& row : d->rows)
        if (static_cast<int>(row.cells.size()) != d->columnCount) d->uniform = false;
    d_ = d;
    resolveVerticalMerges(*d);
}

// Word merges a cell vertically only with a continuing cell on the same grid columns right below it:
// a restart that nothing continues, or a continuation under no merge, is an ordinary cell.
void TableGrid::resolveVerticalMerges(TableGridData& d) const {
    for (std::size_t r = 0; r < d.rows.size(); ++r) {
        auto& cells = d.rows[r].cells;
        for (GridCell& c : cells) {
            if (c.vmerge != VMerge::Continue) continue;
            const GridCell* above = atGrid(static_cast<int>(r), c.gridStart);
            if (!above || above->gridStart != c.gridStart || above->span != c.span || above->vmerge == VMerge::None)
                c.vmerge = VMerge::None;
        }
        if (r == 0) continue;
        // The previous row's merges that nothing continues end where they start.
        for (GridCell& above : d.rows[r - 1].cells) {
            if (above.vmerge != VMerge::Restart) continue;
            const GridCell* below = atGrid(static_cast<int>(r) + 1, above.gridStart);
            if (!below || below->gridStart != above.gridStart || below->vmerge != VMerge::Continue)
                above.vmerge = VMerge::None;
        }
    }
    if (!d.rows.empty())
        for (GridCell& last : d.rows.back().cells)
            if (last.vmerge == VMerge::Restart) last.vmerge = VMerge::None;
    for (const GridRow& row : d.rows)
        for (const GridCell& c : row.cells)
            if (c.vmerge != VMerge::None) d.hasVerticalMerge = true;
}

TableGrid::Rows::iterator::iterator(const std::vector<GridRow>& rows, const std::vector<char>& removed, std::size_t at)
    : rows_(rows), removed_(removed), at_(at) {
    skipRemoved();
}

TableGrid::Rows::iterator& TableGrid::Rows::iterator::operator++() {
    ++at_;
    skipRemoved();
    return *this;
}

void TableGrid::Rows::iterator::skipRemoved() {
    if (removed_.empty()) return;
    while (at_ < rows_.size() && removed_[at_]) ++at_;
}

const GridRow& TableGrid::row(int r) const {
    const TableGridData& d = *d_;
    if (d.removed.empty()) return d.rows[static_cast<size_t>(r - 1)];
    return d.rows[static_cast<size_t>(d.present.placeOf(r - 1))];
}

int TableGrid::rowOf(const GridCell& cell) const {
    if (d_->removed.empty()) return cell.slot + 1;
    return d_->present.prefix(cell.slot) + 1;
}

namespace {

// Where a node stands in the rows as built: (slot, cell position) for a w:tc, (slot, -1) for a w:tr.
const std::pair<int, int>* placeOf(const TableGridData& d, pugi::xml_node node) {
    if (d.places.empty()) {
        for (std::size_t slot = 0; slot < d.rows.size(); ++slot) {
            if (!d.removed.empty() && d.removed[slot]) continue;
            const GridRow& row = d.rows[slot];
            const int s = static_cast<int>(slot);
            d.places.emplace(row.tr.internal_object(), std::make_pair(s, -1));
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                d.places.emplace(row.cells[c].tc.internal_object(), std::make_pair(s, static_cast<int>(c)));
                for (pugi::xml_node merged : row.cells[c].merged)
                    d.places.emplace(merged.internal_object(), std::make_pair(s, static_cast<int>(c)));
            }
        }
    }
    const auto it = d.places.find(node.internal_object());
    return it == d.places.end() ? nullptr : &it->second;
}

// A row that keeps its table from having uniform columns whatever the other rows are.
bool irregular(const GridRow& row) {
    if (row.gridBefore || row.gridAfter) return true;
    return std::any_of(row.cells.begin(), row.cells.end(), [](const GridCell& c) { return c.span != 1; });
}

int extentOf(const GridRow& row) {
    return (row.cells.empty() ? row.gridBefore : row.cells.back().gridEnd() + 1) + row.gridAfter;
}

void count(std::map<int, int>& counts, int value, int delta) {
    if ((counts[value] += delta) == 0) counts.erase(value);
}

}  // namespace

const GridCell* TableGrid::cellOf(pugi::xml_node tc) const {
    const auto* place = placeOf(*d_, tc);
    if (!place || place->second < 0) return nullptr;
    return &d_->rows[static_cast<size_t>(place->first)].cells[static_cast<size_t>(place->second)];
}

int TableGrid::rowOfNode(pugi::xml_node tr) const {
    const auto* place = placeOf(*d_, tr);
    if (!place || place->second >= 0) return 0;
    return d_->removed.empty() ? place->first + 1 : d_->present.prefix(place->first) + 1;
}

bool TableGrid::removeRows(int r1, int r2) {
    TableGridData& d = *d_;
    if (d.hasVerticalMerge) return false;
    r1 = std::max(1, r1);
    r2 = std::min(r2, d.rowCount);
    if (r1 > r2) return true;
    if (d.removed.empty()) {
        d.removed.assign(d.rows.size(), 0);
        d.present = Fenwick(std::vector<int>(d.rows.size(), 1));
        for (const GridRow& row : d.rows) {
            count(d.cellCounts, static_cast<int>(row.cells.size()), 1);
            count(d.extents, extentOf(row), 1);
            if (irregular(row)) ++d.irregularRows;
        }
    }
    std::vector<int> slots;
    for (int r = r1; r <= r2; ++r) slots.push_back(d.present.placeOf(r - 1));
    for (int slot : slots) {
        const GridRow& row = d.rows[static_cast<size_t>(slot)];
        d.removed[static_cast<size_t>(slot)] = 1;
        d.present.add(slot, -1);
        count(d.cellCounts, static_cast<int>(row.cells.size()), -1);
        count(d.extents, extentOf(row), -1);
        if (irregular(row)) --d.irregularRows;
        if (!d.places.empty()) {
            d.places.erase(row.tr.internal_object());
            for (const GridCell& c : row.cells) {
                d.places.erase(c.tc.internal_object());
                for (pugi::xml_node merged : c.merged) d.places.erase(merged.internal_object());
            }
        }
    }
    d.rowCount -= r2 - r1 + 1;
    d.columnCount = d.cellCounts.empty() ? 0 : d.cellCounts.rbegin()->first;
    d.gridWidth = std::max(d.declaredWidth, d.extents.empty() ? 0 : d.extents.rbegin()->first);
    d.uniform = d.irregularRows == 0 && d.cellCounts.size() <= 1;
    return true;
}

const GridCell* TableGrid::find(int r, int c) const {
    if (r < 1 || r > rowCount()) return nullptr;
    const GridRow& gr = row(r);
    if (c < 1 || c > static_cast<int>(gr.cells.size())) return nullptr;
    return &gr.cells[static_cast<size_t>(c - 1)];
}

const GridCell& TableGrid::cell(int r, int c) const {
    const GridCell* found = find(r, c);
    if (!found || found->vmerge == VMerge::Continue) throw errors::noSuchMember();
    return *found;
}

const GridCell* TableGrid::atGrid(int r, int g) const {
    if (r < 1 || r > rowCount()) return nullptr;
    for (const GridCell& c : row(r).cells)
        if (c.gridStart <= g && g <= c.gridEnd()) return &c;
    return nullptr;
}

int TableGrid::mergeEnd(const GridCell& cell) const {
    const int own = rowOf(cell);
    int last = own;
    for (int r = own + 1; r <= rowCount(); ++r) {
        const GridCell* below = atGrid(r, cell.gridStart);
        if (!below || below->vmerge != VMerge::Continue || below->gridStart != cell.gridStart) break;
        last = r;
    }
    return last;
}

int TableGrid::mergeStart(const GridCell& cell) const {
    const int own = rowOf(cell);
    int first = own;
    if (cell.vmerge != VMerge::Continue) return first;
    for (int r = own - 1; r >= 1; --r) {
        const GridCell* above = atGrid(r, cell.gridStart);
        if (!above || above->gridStart != cell.gridStart) break;
        first = r;
        if (above->vmerge != VMerge::Continue) break;
    }
    return first;
}

std::vector<const GridCell*> TableGrid::block(int r1, int r2, int g1, int g2) const {
    std::vector<const GridCell*> out;
    for (int r = std::max(1, r1); r <= std::min(r2, rowCount()); ++r)
        for (const GridCell& c : row(r).cells)
            if (c.gridEnd() >= g1 && c.gridStart <= g2) out.push_back(&c);
    return out;
}

}  // namespace automation::ooxml
