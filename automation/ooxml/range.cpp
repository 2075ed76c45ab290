// Range and Selection: stretches of the main story, and Word's selection of the active document.
#include <algorithm>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

class RangeImpl final : public Range {
public:
    RangeImpl(ModelPtr model, int start, int end) : model_(std::move(model)), start_(start), end_(end) {}

    int Start() override { return clamped().start; }
    int End() override { return clamped().end; }
    std::string Text() override {
        Area a = clamped();
        return toUtf8(model_->index().rangeText(a.start, a.end));
    }
    TablesPtr Tables() override { return makeTables(model_, areaTables(*model_, clamped())); }
    FontPtr Font() override { return makeFont(model_, clamped()); }
    ParagraphFormatPtr ParagraphFormat() override { return makeParagraphFormat(model_, clamped()); }
    FindPtr Find() override { return makeFind(model_, clamped(), false); }
    ParagraphsPtr Paragraphs() override { return makeParagraphs(model_, clamped()); }
    void Select() override {
        Area a = clamped();
        selectArea(*model_, areaForRange(*model_, a.start, a.end));
    }

private:
    Area clamped() {
        model_->check();
        const int length = model_->index().length();
        return textArea(std::clamp(start_, 0, length), std::clamp(end_, 0, length));
    }

    ModelPtr model_;
    int start_;
    int end_;
};

class SelectionImpl final : public Selection {
public:
    explicit SelectionImpl(ModelPtr model) : model_(std::move(model)) {}

    int Start() override { return span().start; }
    int End() override { return span().end; }
    std::string Text() override {
        Span s = span();
        return toUtf8(model_->index().rangeText(s.start, s.end));
    }
    TablesPtr Tables() override { return makeTables(model_, areaTables(*model_, area())); }
    FontPtr Font() override { return makeFont(model_, area()); }
    ParagraphFormatPtr ParagraphFormat() override { return makeParagraphFormat(model_, area()); }
    FindPtr Find() override { return makeFind(model_, area(), true); }
    ParagraphsPtr Paragraphs() override { return makeParagraphs(model_, area()); }

    RowsPtr Rows() override {
        Area a = area();
        if (a.kind == Area::Kind::Block) return makeRows(model_, a.table, a.row1, a.row2);
        auto [tbl, first, last] = textRows(a);
        return makeRows(model_, tbl, first, last);
    }
    CellsPtr Cells() override {
        Area a = area();
        if (a.kind == Area::Kind::Block) {
            const TableGrid& grid = model_->grid(a.table);
            std::vector<pugi::xml_node> cells;
            for (const GridCell* c : grid.block(a.row1, a.row2, a.grid1, a.grid2)) cells.push_back(c->tc);
            return makeCells(model_, a.table, std::move(cells));
        }
        pugi::xml_node tbl = areaTable(*model_, a);
        if (!tbl) throw errors::notAvailable("所选内容不在表格中");
        const StoryIndex& index = model_->index();
        std::vector<pugi::xml_node> cells;
        const TableGrid& grid = model_->grid(tbl);
        for (const GridRow& row : grid.rows())
            for (const GridCell& c : row.cells) {
                Span s;
                index.span(c.tc, s);
                if ((s.start <= a.start && a.start < s.end) || (s.start < a.end && s.end > a.start))
                    cells.push_back(c.tc);
            }
        return makeCells(model_, tbl, std::move(cells));
    }
    ColumnsPtr Columns() override {
        Area a = area();
        if (a.kind == Area::Kind::Block) return makeColumns(model_, a.table, a.grid1, a.grid2, true);
        pugi::xml_node tbl = areaTable(*model_, a);
        if (!tbl) throw errors::notAvailable("所选内容不在表格中");
        const StoryIndex& index = model_->index();
        const TableGrid& grid = model_->grid(tbl);
        int g1 = grid.gridWidth(), g2 = -1;
        for (const GridRow& row : grid.rows())
            for (const GridCell& c : row.cells) {
                Span s;
                index.span(c.tc, s);
                if (s.start < std::max(a.end, a.start + 1) && s.end > a.start) {
                    g1 = std::min(g1, c.gridStart);
                    g2 = std::max(g2, c.gridEnd());
                }
            }
        if (g2 < 0) throw errors::notAvailable("所选内容不在表格中");
        return makeColumns(model_, tbl, g1, g2, true);
    }
    // Inside a table the selection's borders are those of the cells it touches; elsewhere they are
    // the borders of its paragraphs.
    BordersPtr Borders() override {
        Area a = area();
        if (a.kind == Area::Kind::Text)
            if (pugi::xml_node tbl = areaTable(*model_, a)) a = touchedCells(tbl, a);
        return makeBorders(model_, a);
    }
    RangePtr Range() override {
        Span s = span();
        return makeRange(model_, s.start, s.end);
    }
    void PasteAndFormat(int) override {
        model_->check();
        pasteClipboardRange(*model_);
    }

private:
    Area area() {
        model_->check();
        Area a = model_->selection();
        if (a.kind == Area::Kind::Block && !model_->isLive(a.table)) {
            // The table went away under the selection: Word collapses it where the table stood.
            model_->selection() = textArea(0, 0);
            a = model_->selection();
        }
        if (a.kind == Area::Kind::Text) {
            const int length = model_->index().length();
            a.start = std::clamp(a.start, 0, length);
            a.end = std::clamp(a.end, a.start, length);
        }
        return a;
    }
    Span span() {
        Area a = area();
        return areaSpan(*model_, a);
    }
    // The block of cells of tbl that a text selection touches.
    Area touchedCells(pugi::xml_node tbl, const Area& a) {
        const StoryIndex& index = model_->index();
        const TableGrid& grid = model_->grid(tbl);
        int r1 = 0, r2 = 0, g1 = grid.gridWidth(), g2 = -1;
        for (const GridRow& row : grid.rows())
            for (const GridCell& c : row.cells) {
                Span s;
                index.span(c.tc, s);
                if (s.start < std::max(a.end, a.start + 1) && s.end > a.start) {
                    if (r1 == 0) r1 = grid.rowOf(c);
                    r2 = grid.rowOf(c);
                    g1 = std::min(g1, c.gridStart);
                    g2 = std::max(g2, c.gridEnd());
                }
            }
        if (r1 == 0) return a;
        return blockArea(tbl, r1, r2, g1, g2);
    }
    // The rows of the innermost table at the start that a text selection touches.
    std::tuple<pugi::xml_node, int, int> textRows(const Area& a) {
        pugi::xml_node tbl = areaTable(*model_, a);
        if (!tbl) throw errors::notAvailable("所选内容不在表格中");
        const StoryIndex& index = model_->index();
        const TableGrid& grid = model_->grid(tbl);
        int first = 0, last = 0, number = 0;
        for (const GridRow& row : grid.rows()) {
            Span s;
            index.span(row.tr, s);
            ++number;
            const int r = row.cells.empty() ? 0 : number;
            if (s.start <= a.start && a.start < s.end) first = r;
            if (s.start < std::max(a.end, a.start + 1) && s.end > a.start) last = r;
        }
        if (first == 0) first = 1;
        return {tbl, first, std::max(first, last)};
    }

    ModelPtr model_;
};

class TablesImpl final : public Tables {
public:
    TablesImpl(ModelPtr model, std::vector<pugi::xml_node> tables, bool documentTables)
        : model_(std::move(model)), tables_(std::move(tables)), document_(documentTables) {}

    int Count() override {
        model_->check();
        return document_ ? model_->index().outerTableCount() : static_cast<int>(tables_.size());
    }
    TablePtr Item(int index) override {
        model_->check();
        pugi::xml_node tbl;
        if (document_)
            tbl = model_->index().outerTable(index - 1);
        else if (index >= 1 && index <= static_cast<int>(tables_.size()))
            tbl = tables_[static_cast<size_t>(index - 1)];
        if (!tbl) throw errors::noSuchMember();
        return makeTable(model_, tbl);
    }

private:
    ModelPtr model_;
    std::vector<pugi::xml_node> tables_;
    bool document_;
};

}  // namespace

RangePtr makeRange(const ModelPtr& model, int start, int end) {
    return std::make_shared<RangeImpl>(model, std::min(start, end), std::max(start, end));
}

SelectionPtr makeSelection(const ModelPtr& model) { return std::make_shared<SelectionImpl>(model); }

TablesPtr makeTables(const ModelPtr& model, std::vector<pugi::xml_node> tables) {
    return std::make_shared<TablesImpl>(model, std::move(tables), false);
}

TablesPtr makeDocumentTables(const ModelPtr& model) {
    return std::make_shared<TablesImpl>(model, std::vector<pugi::xml_node>{}, true);
}

}  // namespace automation::ooxml
