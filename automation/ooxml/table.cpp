// Tables and their rows, columns and cells.
#include <algorithm>
#include <cmath>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

using wml::points;
using wml::twips;

void requireRange(float value, float low, float high) {
    if (!(value >= low && value <= high)) throw errors::valueOutOfRange();
}

// Collapses the selection to a position once the structure under it has gone.
void collapseSelection(DocumentModel& model, int position) { model.selection() = textArea(position, position); }

// Removes a table; the selection collapses to where it stood.
void removeTable(DocumentModel& model, pugi::xml_node tbl) {
    Span s;
    model.index().span(tbl, s);
    tbl.parent().remove_child(tbl);
    collapseSelection(model, s.start);
    model.textRemoved({s});
}

// Deletes rows r1..r2 of a table; a merge that started in a deleted row restarts below it.
void deleteRows(DocumentModel& model, pugi::xml_node tbl, int r1, int r2) {
    TableGrid grid = model.grid(tbl);
    r1 = std::max(1, r1);
    r2 = std::min(r2, grid.rowCount());
    if (r1 > r2) return;
    if (r1 == 1 && r2 == grid.rowCount()) {
        removeTable(model, tbl);
        return;
    }
    if (r2 < grid.rowCount()) {
        for (const GridCell& below : grid.row(r2 + 1).cells) {
            if (below.vmerge != VMerge::Continue) continue;
            if (grid.mergeStart(below) >= r1)
                wml::setAttr(model.pool(), wml::child(wml::child(below.tc, "tcPr"), "vMerge"), "w:val", "restart");
        }
    }
    Span first, last;
    model.index().span(grid.row(r1).tr, first);
    model.index().span(grid.row(r2).tr, last);
    // The grids of tables nested in the rows would outlive their tables: then every grid goes.
    bool nested = false;
    std::vector<pugi::xml_node> rows;
    for (int r = r1; r <= r2; ++r) {
        rows.push_back(grid.row(r).tr);
        nested = nested || !wml::descendants(rows.back(), "tbl", {}).empty();
    }
    for (pugi::xml_node tr : rows) tr.parent().remove_child(tr);
    collapseSelection(model, first.start);
    if (nested)
        model.textRemoved({Span{first.start, last.end}});
    else
        model.rowsRemoved(tbl, r1, r2, Span{first.start, last.end});
}

class CellImpl final : public Cell {
public:
    CellImpl(ModelPtr model, pugi::xml_node tc) : model_(std::move(model)), tc_(tc) {}

    RangePtr Range() override {
        Span s = span();
        return makeRange(model_, s.start, s.end);
    }
    int RowIndex() override {
        const GridCell& c = locate();
        return model_->grid(table()).rowOf(c);
    }
    int ColumnIndex() override { return locate().index; }
    void Select() override {
        const GridCell& c = locate();
        const int r = model_->grid(table()).rowOf(c);
        selectArea(*model_, blockArea(table(), r, r, c.gridStart, c.gridEnd()));
    }
    int VerticalAlignment() override {
        live();
        const std::string v = wml::val(wml::child(wml::child(tc_, "tcPr"), "vAlign"));
        return v == "center"   ? wdCellAlignVerticalCenter
               : v == "bottom" ? wdCellAlignVerticalBottom
                               : wdCellAlignVerticalTop;
    }
    void SetVerticalAlignment(int alignment) override {
        live();
        makeCells(model_, table(), {tc_})->SetVerticalAlignment(alignment);
    }
    float RightPadding() override {
        live();
        pugi::xml_node own = wml::child(wml::child(wml::child(tc_, "tcPr"), "tcMar"), "right");
        if (!own) own = wml::child(wml::child(wml::child(tc_, "tcPr"), "tcMar"), "end");
        if (own) return wml::pointsAttr(own, "w:w", 0.0f);
        pugi::xml_node mar = wml::child(wml::child(table(), "tblPr"), "tblCellMar");
        pugi::xml_node right = wml::child(mar, "right");
        if (!right) right = wml::child(mar, "end");
        return wml::pointsAttr(right, "w:w", 5.4f);
    }
    void SetRightPadding(float value) override {
        live();
        requireRange(value, 0.0f, 1584.0f);
        pugi::xml_node mar =
            wml::ensure(model_->pool(), wml::ensureTcPr(model_->pool(), tc_), "tcMar", wml::Sequence::TcPr);
        wml::remove(mar, "end");
        pugi::xml_node right = wml::ensure(model_->pool(), mar, "right", wml::Sequence::TcMar);
        wml::setPoints(model_->pool(), right, "w:w", value);
        wml::setAttr(model_->pool(), right, "w:type", "dxa");
        model_->formatChanged();
    }

private:
    void live() {
        model_->check();
        requireLive(*model_, tc_);
    }
    Span span() {
        live();
        Span s;
        model_->index().span(tc_, s);
        return s;
    }
    pugi::xml_node table() { return model_->index().tableOfCell(tc_); }
    const GridCell& locate() {
        live();
        const GridCell* c = model_->grid(table()).cellOf(tc_);
        if (!c || c->tc != tc_) throw errors::objectDeleted();
        return *c;
    }

    ModelPtr model_;
    pugi::xml_node tc_;
};

class CellsImpl final : public Cells {
public:
    CellsImpl(ModelPtr model, pugi::xml_node tbl, std::vector<pugi::xml_node> cells)
        : model_(std::move(model)), tbl_(tbl), cells_(std::move(cells)) {}

    int Count() override {
        live();
        return static_cast<int>(cells_.size());
    }
    CellPtr Item(int index) override {
        live();
        if (index < 1 || index > static_cast<int>(cells_.size())) throw errors::noSuchMember();
        return makeCell(model_, cells_[static_cast<size_t>(index - 1)]);
    }
    int VerticalAlignment() override {
        live();
        Uniform<int> value;
        for (pugi::xml_node tc : cells_)
            if (!value.add(makeCell(model_, tc)->VerticalAlignment())) break;
        return value.value(wdCellAlignVerticalTop);
    }
    void SetVerticalAlignment(int alignment) override {
        live();
        const char* name = alignment == wdCellAlignVerticalTop      ? "top"
                           : alignment == wdCellAlignVerticalCenter ? "center"
                           : alignment == wdCellAlignVerticalBottom ? "bottom"
                                                                    : nullptr;
        if (!name) throw errors::valueOutOfRange();
        for (pugi::xml_node tc : cells_) {
            pugi::xml_node vAlign =
                wml::ensure(model_->pool(), wml::ensureTcPr(model_->pool(), tc), "vAlign", wml::Sequence::TcPr);
            wml::setAttr(model_->pool(), vAlign, "w:val", name);
        }
        model_->formatChanged();
    }

private:
    void live() {
        model_->check();
        requireLive(*model_, tbl_);
        for (pugi::xml_node tc : cells_) requireLive(*model_, tc);
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
    std::vector<pugi::xml_node> cells_;
};

class RowImpl final : public Row {
public:
    RowImpl(ModelPtr model, pugi::xml_node tbl, pugi::xml_node tr) : model_(std::move(model)), tbl_(tbl), tr_(tr) {}

    int Index() override { return locate(); }
    void Select() override {
        const int r = locate();
        const TableGrid& grid = model_->grid(tbl_);
        selectArea(*model_, blockArea(tbl_, r, r, 0, std::max(0, grid.gridWidth() - 1)));
    }
    RangePtr Range() override {
        locate();
        Span s;
        model_->index().span(tr_, s);
        return makeRange(model_, s.start, s.end);
    }
    CellsPtr Cells() override {
        const int r = locate();
        std::vector<pugi::xml_node> cells;
        for (const GridCell& c : model_->grid(tbl_).row(r).cells) cells.push_back(c.tc);
        return makeCells(model_, tbl_, std::move(cells));
    }
    void Delete() override {
        const int r = locate();
        deleteRows(*model_, tbl_, r, r);
    }

private:
    int locate() {
        model_->check();
        requireLive(*model_, tbl_);
        requireLive(*model_, tr_);
        if (const int r = model_->grid(tbl_).rowOfNode(tr_)) return r;
        throw errors::objectDeleted();
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
    pugi::xml_node tr_;
};

class RowsImpl final : public Rows {
public:
    RowsImpl(ModelPtr model, pugi::xml_node tbl, int r1, int r2)
        : model_(std::move(model)), tbl_(tbl), r1_(r1), r2_(r2) {}

    int Count() override {
        auto rows = selected();
        return static_cast<int>(rows.size());
    }
    RowPtr Item(int index) override {
        auto rows = selected();
        const TableGrid& grid = model_->grid(tbl_);
        if (grid.hasVerticalMerge()) throw errors::verticallyMerged();
        if (index < 1 || index > static_cast<int>(rows.size())) throw errors::noSuchMember();
        return std::make_shared<RowImpl>(model_, tbl_, rows[static_cast<size_t>(index - 1)]);
    }
    int HeightRule() override {
        Uniform<int> value;
        for (pugi::xml_node tr : selected()) {
            pugi::xml_node h = wml::child(wml::child(tr, "trPr"), "trHeight");
            const std::string rule = wml::val(h, "w:hRule");
            if (!value.add(!h                ? wdRowHeightAuto
                           : rule == "exact" ? wdRowHeightExactly
                           : rule == "auto"  ? wdRowHeightAuto
                                             : wdRowHeightAtLeast))
                break;
        }
        return value.value(wdRowHeightAuto);
    }
    void SetHeightRule(int rule) override {
        auto rows = selected();
        const char* name = rule == wdRowHeightAuto      ? "auto"
                           : rule == wdRowHeightAtLeast ? "atLeast"
                           : rule == wdRowHeightExactly ? "exact"
                                                        : nullptr;
        if (!name) throw errors::valueOutOfRange();
        for (pugi::xml_node tr : rows) {
            pugi::xml_node h =
                wml::ensure(model_->pool(), wml::ensureTrPr(model_->pool(), tr), "trHeight", wml::Sequence::TrPr);
            if (!h.attribute("w:val")) wml::setAttr(model_->pool(), h, "w:val", "0");
            wml::setAttr(model_->pool(), h, "w:hRule", name);
        }
        model_->formatChanged();
    }
    float Height() override {
        Uniform<float> value;
        for (pugi::xml_node tr : selected())
            if (!value.add(wml::pointsAttr(wml::child(wml::child(tr, "trPr"), "trHeight"), "w:val", 0.0f))) break;
        return value.value(0.0f);
    }
    void SetHeight(float value) override {
        auto rows = selected();
        requireRange(value, 0.0f, 1584.0f);
        for (pugi::xml_node tr : rows) {
            pugi::xml_node h =
                wml::ensure(model_->pool(), wml::ensureTrPr(model_->pool(), tr), "trHeight", wml::Sequence::TrPr);
            wml::setPoints(model_->pool(), h, "w:val", value);
            const std::string rule = wml::val(h, "w:hRule");
            if (rule.empty() || rule == "auto") wml::setAttr(model_->pool(), h, "w:hRule", "atLeast");
        }
        model_->formatChanged();
    }
    bool HeadingFormat() override {
        auto rows = selected();
        for (pugi::xml_node tr : rows)
            if (!wml::onOff(wml::child(wml::child(tr, "trPr"), "tblHeader"))) return false;
        return !rows.empty();
    }
    void SetHeadingFormat(bool value) override {
        for (pugi::xml_node tr : selected()) {
            if (value) {
                pugi::xml_node h =
                    wml::ensure(model_->pool(), wml::ensureTrPr(model_->pool(), tr), "tblHeader", wml::Sequence::TrPr);
                h.remove_attribute("w:val");
            } else if (pugi::xml_node trPr = wml::child(tr, "trPr")) {
                wml::remove(trPr, "tblHeader");
            }
        }
        model_->formatChanged();
    }
    float LeftIndent() override {
        selected();
        return wml::pointsAttr(wml::child(wml::child(tbl_, "tblPr"), "tblInd"), "w:w", 0.0f);
    }
    void SetLeftIndent(float value) override {
        auto rows = selected();
        requireRange(value, -1584.0f, 1584.0f);
        const std::string w = std::to_string(twips(value));
        if (rows.size() == static_cast<std::size_t>(model_->grid(tbl_).rowCount())) {
            pugi::xml_node ind =
                wml::ensure(model_->pool(), wml::ensureTblPr(model_->pool(), tbl_), "tblInd", wml::Sequence::TblPr);
            wml::setAttr(model_->pool(), ind, "w:w", w);
            wml::setAttr(model_->pool(), ind, "w:type", "dxa");
            for (pugi::xml_node tr : rows) wml::remove(wml::child(tr, "tblPrEx"), "tblInd");
        } else {
            for (pugi::xml_node tr : rows) {
                pugi::xml_node ex = wml::child(tr, "tblPrEx");
                if (!ex) ex = tr.prepend_child("w:tblPrEx");
                pugi::xml_node ind = wml::ensure(model_->pool(), ex, "tblInd", wml::Sequence::TblPr);
                wml::setAttr(model_->pool(), ind, "w:w", w);
                wml::setAttr(model_->pool(), ind, "w:type", "dxa");
            }
        }
        model_->formatChanged();
    }
    void Delete() override {
        selected();
        deleteRows(*model_, tbl_, r1_, r2_);
    }

private:
    std::vector<pugi::xml_node> selected() {
        model_->check();
        requireLive(*model_, tbl_);
        const TableGrid& grid = model_->grid(tbl_);
        std::vector<pugi::xml_node> out;
        for (int r = std::max(1, r1_); r <= std::min(r2_, grid.rowCount()); ++r) out.push_back(grid.row(r).tr);
        return out;
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
    int r1_, r2_;
};

class ColumnImpl final : public Column {
public:
    ColumnImpl(ModelPtr model, pugi::xml_node tbl, int index) : model_(std::move(model)), tbl_(tbl), index_(index) {}

    int Index() override {
        grid();
        return index_;
    }
    void Select() override {
        const TableGrid& g = grid();
        selectArea(*model_, blockArea(tbl_, 1, g.rowCount(), index_ - 1, index_ - 1));
    }
    CellsPtr Cells() override {
        const TableGrid& g = grid();
        std::vector<pugi::xml_node> cells;
        for (const GridRow& row : g.rows())
            if (index_ <= static_cast<int>(row.cells.size()))
                cells.push_back(row.cells[static_cast<size_t>(index_ - 1)].tc);
        return makeCells(model_, tbl_, std::move(cells));
    }
    void Delete() override {
        const TableGrid& g = grid();
        if (g.columnCount() <= 1) {
            removeTable(*model_, tbl_);
            return;
        }
        Span s;
        model_->index().span(tbl_, s);
        std::vector<Span> cells;
        for (const GridRow& row : g.rows()) {
            pugi::xml_node tc = row.cells[static_cast<size_t>(index_ - 1)].tc;
            if (Span cell; model_->index().span(tc, cell)) cells.push_back(cell);
            tc.parent().remove_child(tc);
        }
        if (pugi::xml_node tblGrid = wml::child(tbl_, "tblGrid")) {
            int k = 0;
            for (pugi::xml_node col = tblGrid.first_child(); col; col = col.next_sibling())
                if (wml::is(col, "gridCol") && ++k == index_) {
                    tblGrid.remove_child(col);
                    break;
                }
        }
        collapseSelection(*model_, s.start);
        model_->textRemoved(cells);
    }

private:
    const TableGrid& grid() {
        model_->check();
        requireLive(*model_, tbl_);
        const TableGrid& g = model_->grid(tbl_);
        if (!g.uniformColumns()) throw errors::mixedCellWidths();
        if (index_ < 1 || index_ > g.columnCount()) throw errors::objectDeleted();
        return g;
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
    int index_;
};

class ColumnsImpl final : public Columns {
public:
    ColumnsImpl(ModelPtr model, pugi::xml_node tbl, int g1, int g2, bool fromSelection)
        : model_(std::move(model)), tbl_(tbl), g1_(g1), g2_(g2), fromSelection_(fromSelection) {}

    int Count() override {
        const TableGrid& grid = load();
        if (!fromSelection_) return grid.columnCount();
        return selectionColumns(grid);
    }
    ColumnPtr Item(int index) override {
        const TableGrid& grid = load();
        if (!grid.uniformColumns()) throw errors::mixedCellWidths();
        const int count = fromSelection_ ? selectionColumns(grid) : grid.columnCount();
        if (index < 1 || index > count) throw errors::noSuchMember();
        const int first = fromSelection_ ? g1_ : 0;
        return std::make_shared<ColumnImpl>(model_, tbl_, first + index);
    }

private:
    const TableGrid& load() {
        model_->check();
        requireLive(*model_, tbl_);
        return model_->grid(tbl_);
    }
    // A selection's columns can be counted only when it is a rectangle of whole cells.
    int selectionColumns(const TableGrid& grid) {
        const auto& model = *model_;
        (void)model;
        const Area& sel = model_->selection();
        int r1 = sel.kind == Area::Kind::Block ? sel.row1 : 1;
        int r2 = sel.kind == Area::Kind::Block ? sel.row2 : grid.rowCount();
        if (sel.kind == Area::Kind::Text) {
            // A text selection covers the rows it touches, not the whole table.
            const StoryIndex& index = model_->index();
            int first = 0, last = 0;
            for (int r = 1; r <= grid.rowCount(); ++r) {
                Span s;
                if (!index.span(grid.row(r).tr, s)) continue;
                if (s.start < std::max(sel.end, sel.start + 1) && s.end > sel.start) {
                    if (first == 0) first = r;
                    last = r;
                }
            }
            if (first > 0) {
                r1 = first;
                r2 = last;
            }
        }
        int count = -1;
        for (int r = r1; r <= r2 && r <= grid.rowCount(); ++r) {
            int inRow = 0;
            for (const GridCell& c : grid.row(r).cells) {
                if (c.gridEnd() < g1_ || c.gridStart > g2_) continue;
                if (c.gridStart < g1_ || c.gridEnd() > g2_) throw errors::mixedCellWidths();
                if (c.vmerge == VMerge::Continue && grid.mergeStart(c) < r1) throw errors::mixedCellWidths();
                if (c.vmerge != VMerge::None && grid.mergeEnd(c) > r2) throw errors::mixedCellWidths();
                ++inRow;
            }
            if (count != -1 && inRow != count) throw errors::mixedCellWidths();
            count = inRow;
        }
        return std::max(count, 0);
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
    int g1_, g2_;
    bool fromSelection_;
};

class TableImpl final : public Table {
public:
    TableImpl(ModelPtr model, pugi::xml_node tbl) : model_(std::move(model)), tbl_(tbl) {}

    void Select() override {
        const TableGrid& grid = load();
        selectArea(*model_, wholeTableArea(grid));
    }
    RangePtr Range() override {
        load();
        Span s;
        model_->index().span(tbl_, s);
        return makeRange(model_, s.start, s.end);
    }
    CellPtr Cell(int row, int column) override {
        const TableGrid& grid = load();
        return makeCell(model_, grid.cell(row, column).tc);
    }
    RowsPtr Rows() override {
        const TableGrid& grid = load();
        return makeRows(model_, tbl_, 1, grid.rowCount());
    }
    ColumnsPtr Columns() override {
        const TableGrid& grid = load();
        return makeColumns(model_, tbl_, 0, std::max(0, grid.gridWidth() - 1), false);
    }
    TablesPtr Tables() override {
        load();
        StoryIndex& index = model_->index();
        std::vector<pugi::xml_node> nested;
        for (pugi::xml_node t : index.allTables()) {
            pugi::xml_node cell = index.cellOfTable(t);
            if (cell && index.tableOfCell(cell) == tbl_) nested.push_back(t);
        }
        return makeTables(model_, std::move(nested));
    }
    BordersPtr Borders() override {
        const TableGrid& grid = load();
        return makeBorders(model_, wholeTableArea(grid));
    }
    int PreferredWidthType() override {
        load();
        const std::string type = wml::val(wml::child(wml::child(tbl_, "tblPr"), "tblW"), "w:type");
        if (type == "pct") return wdPreferredWidthPercent;
        if (type == "dxa") return wdPreferredWidthPoints;
        return wdPreferredWidthAuto;
    }
    void SetPreferredWidthType(int type) override {
        load();
        pugi::xml_node tblW =
            wml::ensure(model_->pool(), wml::ensureTblPr(model_->pool(), tbl_), "tblW", wml::Sequence::TblPr);
        if (type == wdPreferredWidthAuto) {
            wml::setAttr(model_->pool(), tblW, "w:w", "0");
            wml::setAttr(model_->pool(), tblW, "w:type", "auto");
        } else if (type == wdPreferredWidthPercent || type == wdPreferredWidthPoints) {
            const std::string before = wml::val(tblW, "w:type");
            const char* name = type == wdPreferredWidthPercent ? "pct" : "dxa";
            if (before != name) wml::setAttr(model_->pool(), tblW, "w:w", "0");
            wml::setAttr(model_->pool(), tblW, "w:type", name);
        } else {
            throw errors::valueOutOfRange();
        }
        model_->formatChanged();
    }
    float PreferredWidth() override {
        load();
        pugi::xml_node tblW = wml::child(wml::child(tbl_, "tblPr"), "tblW");
        const std::string type = wml::val(tblW, "w:type");
        if (type == "pct") return wml::percentAttr(tblW, "w:w").value_or(0.0f);
        if (type == "dxa") return wml::pointsAttr(tblW, "w:w", 0.0f);
        return 0.0f;
    }
    void SetPreferredWidth(float value) override {
        load();
        pugi::xml_node tblW =
            wml::ensure(model_->pool(), wml::ensureTblPr(model_->pool(), tbl_), "tblW", wml::Sequence::TblPr);
        std::string type = wml::val(tblW, "w:type");
        if (type == "pct") {
            requireRange(value, 0.0f, 600.0f);
            wml::setPercent(model_->pool(), tblW, "w:w", value);
        } else {
            requireRange(value, 0.0f, 1584.0f);
            // An automatic width that is given a length becomes a width in points.
            if (value > 0.0f || type == "dxa") {
                wml::setAttr(model_->pool(), tblW, "w:type", "dxa");
                wml::setPoints(model_->pool(), tblW, "w:w", value);
            } else {
                wml::setAttr(model_->pool(), tblW, "w:type", "auto");
                wml::setAttr(model_->pool(), tblW, "w:w", "0");
            }
        }
        model_->formatChanged();
    }
    bool AllowAutoFit() override {
        load();
        return wml::val(wml::child(wml::child(tbl_, "tblPr"), "tblLayout"), "w:type") != "fixed";
    }
    void SetAllowAutoFit(bool value) override {
        load();
        pugi::xml_node layout =
            wml::ensure(model_->pool(), wml::ensureTblPr(model_->pool(), tbl_), "tblLayout", wml::Sequence::TblPr);
        wml::setAttr(model_->pool(), layout, "w:type", value ? "autofit" : "fixed");
        model_->formatChanged();
    }
    void AutoFitBehavior(int behavior) override {
        const TableGrid& grid = load();
        pugi::xml_node tblPr = wml::ensureTblPr(model_->pool(), tbl_);
        if (behavior == wdAutoFitFixed) {
            wml::setAttr(model_->pool(), wml::ensure(model_->pool(), tblPr, "tblLayout", wml::Sequence::TblPr),
                         "w:type", "fixed");
        } else if (behavior == wdAutoFitContent) {
            wml::setAttr(model_->pool(), wml::ensure(model_->pool(), tblPr, "tblLayout", wml::Sequence::TblPr),
                         "w:type", "autofit");
            pugi::xml_node tblW = wml::ensure(model_->pool(), tblPr, "tblW", wml::Sequence::TblPr);
            wml::setAttr(model_->pool(), tblW, "w:w", "0");
            wml::setAttr(model_->pool(), tblW, "w:type", "auto");
        } else if (behavior == wdAutoFitWindow) {
            fitToWindow(grid, tblPr);
        } else {
            throw errors::valueOutOfRange();
        }
        model_->formatChanged();
    }
    void Delete() override {
        load();
        removeTable(*model_, tbl_);
    }

private:
    const TableGrid& load() {
        model_->check();
        requireLive(*model_, tbl_);
        return model_->grid(tbl_);
    }

    // 100 % of the text width with automatic layout; the grid is scaled to the page's text width so
    // that programs which lay out by the grid show the same table.
    void fitToWindow(const TableGrid& grid, pugi::xml_node tblPr) {
        pugi::xml_node tblW = wml::ensure(model_->pool(), tblPr, "tblW", wml::Sequence::TblPr);
        wml::setPercent(model_->pool(), tblW, "w:w", 100.0f);
        wml::setAttr(model_->pool(), tblW, "w:type", "pct");
        wml::remove(tblPr, "tblLayout");

        std::vector<long> widths;
        pugi::xml_node tblGrid = wml::child(tbl_, "tblGrid");
        for (pugi::xml_node col = tblGrid.first_child(); col; col = col.next_sibling())
            if (wml::is(col, "gridCol"))
                widths.push_back(std::clamp(wml::twipsAttr(col, "w:w", 0), 0L, DocumentModel::kWidestTwips));
        if (widths.empty() || static_cast<int>(widths.size()) < grid.gridWidth()) return;
        long total = 0;
        for (long w : widths) total += w;
        long available = model_->textWidthTwips(tbl_);
        // A nested table fills its cell rather than the page.
        if (pugi::xml_node cell = model_->index().cellOfTable(tbl_)) {
            const long cellWidth = std::clamp(wml::twipsAttr(wml::child(wml::child(cell, "tcPr"), "tcW"), "w:w", 0), 0L,
                                              DocumentModel::kWidestTwips);
            if (wml::val(wml::child(wml::child(cell, "tcPr"), "tcW"), "w:type") == "dxa" && cellWidth > 0)
                available = std::max(144L, cellWidth - 216);
        }
        if (total <= 0) {
            for (long& w : widths) w = available / static_cast<long>(widths.size());
        } else {
            long assigned = 0;
            for (size_t i = 0; i < widths.size(); ++i) {
                widths[i] = (i + 1 == widths.size())
                                ? available - assigned
                                : static_cast<long>(std::llround(static_cast<double>(widths[i]) * available / total));
                assigned += widths[i];
            }
        }
        size_t k = 0;
        for (pugi::xml_node col = tblGrid.first_child(); col; col = col.next_sibling())
            if (wml::is(col, "gridCol"))
                wml::setAttr(model_->pool(), col, "w:w", std::to_string(std::max(0L, widths[k++])));
        for (const GridRow& row : grid.rows())
            for (const GridCell& c : row.cells) {
                long w = 0;
                for (int g = c.gridStart; g <= c.gridEnd() && g < static_cast<int>(widths.size()); ++g)
                    w += widths[static_cast<size_t>(g)];
                pugi::xml_node tcW =
                    wml::ensure(model_->pool(), wml::ensureTcPr(model_->pool(), c.tc), "tcW", wml::Sequence::TcPr);
                wml::setAttr(model_->pool(), tcW, "w:w", std::to_string(w));
                wml::setAttr(model_->pool(), tcW, "w:type", "dxa");
            }
    }

    ModelPtr model_;
    pugi::xml_node tbl_;
};

}  // namespace

TablePtr makeTable(const ModelPtr& model, pugi::xml_node tbl) { return std::make_shared<TableImpl>(model, tbl); }
RowsPtr makeRows(const ModelPtr& model, pugi::xml_node tbl, int row1, int row2) {
    return std::make_shared<RowsImpl>(model, tbl, row1, row2);
}
ColumnsPtr makeColumns(const ModelPtr& model, pugi::xml_node tbl, int grid1, int grid2, bool fromSelection) {
    return std::make_shared<ColumnsImpl>(model, tbl, grid1, grid2, fromSelection);
}
CellsPtr makeCells(const ModelPtr& model, pugi::xml_node tbl, std::vector<pugi::xml_node> cells) {
    return std::make_shared<CellsImpl>(model, tbl, std::move(cells));
}
CellPtr makeCell(const ModelPtr& model, pugi::xml_node tc) { return std::make_shared<CellImpl>(model, tc); }

}  // namespace automation::ooxml
