// Borders of a block of cells (table and cell borders) or of paragraphs (paragraph borders).
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "automation/error.h"
#include "automation/line_widths.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

constexpr std::array<const char*, 25> kStyleNames = {"nil",
                                                     "single",
                                                     "dotted",
                                                     "dashSmallGap",
                                                     "dashed",
                                                     "dotDash",
                                                     "dotDotDash",
                                                     "double",
                                                     "triple",
                                                     "thinThickSmallGap",
                                                     "thickThinSmallGap",
                                                     "thinThickThinSmallGap",
                                                     "thinThickMediumGap",
                                                     "thickThinMediumGap",
                                                     "thinThickThinMediumGap",
                                                     "thinThickLargeGap",
                                                     "thickThinLargeGap",
                                                     "thinThickThinLargeGap",
                                                     "wave",
                                                     "doubleWave",
                                                     "dashDotStroked",
                                                     "threeDEmboss",
                                                     "threeDEngrave",
                                                     "outset",
                                                     "inset"};

int styleNumber(const std::string& name) {
    if (name.empty() || name == "nil" || name == "none") return wdLineStyleNone;
    for (size_t i = 1; i < kStyleNames.size(); ++i)
        if (name == kStyleNames[i]) return static_cast<int>(i);
    if (name == "thick") return wdLineStyleSingle;
    if (name == "dashDotStroked") return wdLineStyleDashDotStroked;
    return wdLineStyleSingle;  // art borders and other kinds show as a line
}

struct Line {
    int style = 0;
    int width = 0;
    bool operator==(const Line&) const = default;
};

Line lineOf(pugi::xml_node e) {
    Line l;
    l.style = styleNumber(wml::val(e));
    // Word draws a line at most 12 points wide (96 eighths) and takes any wider w:sz as that.
    l.width = l.style == 0 ? 0 : static_cast<int>(std::clamp(wml::eighthsAttr(e, "w:sz", 4), 0L, 96L));
    return l;
}

// The OOXML edge names of a Word edge in table, cell and paragraph borders.
const char* edgeName(int edge) {
    switch (edge) {
        case wdBorderTop: return "top";
        case wdBorderLeft: return "left";
        case wdBorderBottom: return "bottom";
        case wdBorderRight: return "right";
        case wdBorderHorizontal: return "insideH";
        case wdBorderVertical: return "insideV";
        default: return nullptr;
    }
}

pugi::xml_node borderChild(pugi::xml_node borders, std::string_view side) {
    if (pugi::xml_node e = wml::child(borders, side)) return e;
    if (side == "left") return wml::child(borders, "start");
    if (side == "right") return wml::child(borders, "end");
    return {};
}

void writeLine(wml::StringPool& pool, pugi::xml_node e, int style, int width) {
    wml::setAttr(pool, e, "w:val", kStyleNames[static_cast<size_t>(style)]);
    if (style == 0) {
        e.remove_attribute("w:sz");
        e.remove_attribute("w:space");
        e.remove_attribute("w:color");
        return;
    }
    wml::setAttr(pool, e, "w:sz", std::to_string(width));
    if (!e.attribute("w:space")) wml::setAttr(pool, e, "w:space", "0");
    if (!e.attribute("w:color")) wml::setAttr(pool, e, "w:color", "auto");
}

// The nearest width Word offers for a style (used when a new style does not have the old width).
int fitWidth(int style, int width) {
    const auto widths = lineWidthsOffered(style);
    int best = widths.front();
    for (int w : widths)
        if (std::abs(w - width) < std::abs(best - width)) best = w;
    return best;
}

// A block's edges: the cell sides along them, and the table-level name that governs them.
class BlockBorder final : public Border {
public:
    BlockBorder(ModelPtr model, Area area, int edge) : model_(std::move(model)), area_(area), edge_(edge) {}

    int LineStyle() override { return read().style; }
    int LineWidth() override {
        Line l = read();
        return l.style == wdUndefined ? wdUndefined : l.width;
    }
    void SetLineStyle(int style) override {
        load();
        if (style < 0 || style >= static_cast<int>(kStyleNames.size())) throw errors::valueOutOfRange();
        Line current = read();
        int width = current.style > 0 && current.style != wdUndefined ? current.width : 4;
        if (current.width == wdUndefined || width <= 0) width = 4;
        apply(style, style == 0 ? 0 : fitWidth(style, width));
    }
    void SetLineWidth(int width) override {
        load();
        Line current = read();
        const int style = current.style > 0 && current.style != wdUndefined ? current.style : wdLineStyleSingle;
        const auto widths = lineWidthsOffered(style);
        if (std::find(widths.begin(), widths.end(), width) == widths.end()) throw errors::valueOutOfRange();
        apply(style, width);
    }

private:
    struct Side {
        pugi::xml_node tc;
        const char* side;          // top/left/bottom/right of the cell
        const char* table;         // the table-level edge that governs it
        pugi::xml_node neighbour;  // the cell on the other side of an inner line
        const char* neighbourSide;
    };

    const TableGrid& load() {
        model_->check();
        requireLive(*model_, area_.table);
        return model_->grid(area_.table);
    }

    bool wholeTable(const TableGrid& grid) const {
        return area_.row1 <= 1 && area_.row2 >= grid.rowCount() && area_.grid1 <= 0 &&
               area_.grid2 >= grid.gridWidth() - 1;
    }

    // Every cell side that lies on this edge of the block.
    std::vector<Side> sides(const TableGrid& grid) const {
        std::vector<Side> out;
        const int r1 = std::max(1, area_.row1), r2 = std::min(area_.row2, grid.rowCount());
        for (int r = r1; r <= r2; ++r) {
            const auto& cells = grid.row(r).cells;
            std::vector<const GridCell*> inBlock;
            for (const GridCell& c : cells)
                if (c.gridEnd() >= area_.grid1 && c.gridStart <= area_.grid2) inBlock.push_back(&c);
            if (inBlock.empty()) continue;
            for (size_t k = 0; k < inBlock.size(); ++k) {
                const GridCell& c = *inBlock[k];
                const bool firstInRow = &c == &cells.front();
                const bool lastInRow = &c == &cells.back();
                switch (edge_) {
                    case wdBorderTop:
                        if (r == r1) out.push_back(outerOrInner(grid, c, r == 1, "top", "insideH", -1));
                        break;
                    case wdBorderBottom:
                        if (r == r2 || grid.mergeEnd(c) >= r2)
                            if (c.vmerge != VMerge::Continue || r == r2)
                                out.push_back(outerOrInner(grid, c, grid.mergeEnd(c) >= grid.rowCount(), "bottom",
                                                           "insideH", +1));
                        break;
                    case wdBorderLeft:
                        if (k == 0)
                            out.push_back(Side{c.tc, "left", firstInRow ? "left" : "insideV",
                                               firstInRow ? pugi::xml_node() : (&c - 1)->tc, "right"});
                        break;
                    case wdBorderRight:
                        if (k + 1 == inBlock.size())
                            out.push_back(Side{c.tc, "right", lastInRow ? "right" : "insideV",
                                               lastInRow ? pugi::xml_node() : (&c + 1)->tc, "left"});
                        break;
                    case wdBorderHorizontal:
                        if (r > r1 && c.vmerge != VMerge::Continue) {
                            const GridCell* above = grid.atGrid(r - 1, c.gridStart);
                            out.push_back(Side{c.tc, "top", "insideH", above ? above->tc : pugi::xml_node(), "bottom"});
                        }
                        break;
                    case wdBorderVertical:
                        if (k > 0) out.push_back(Side{c.tc, "left", "insideV", inBlock[k - 1]->tc, "right"});
                        break;
                }
            }
        }
        return out;
    }

    Side outerOrInner(const TableGrid& grid, const GridCell& c, bool outer, const char* side, const char* inner,
                      int direction) const {
        if (outer) return Side{c.tc, side, side, {}, nullptr};
        const int other = direction < 0 ? grid.rowOf(c) - 1 : grid.mergeEnd(c) + 1;
        const GridCell* n = grid.atGrid(other, c.gridStart);
        return Side{c.tc, side, inner, n ? n->tc : pugi::xml_node(), direction < 0 ? "bottom" : "top"};
    }

    pugi::xml_node cellBorder(pugi::xml_node tc, const char* side) const {
        return borderChild(wml::child(wml::child(tc, "tcPr"), "tcBorders"), side);
    }

    Line tableLine(pugi::xml_node tc, const char* tableEdge) const {
        pugi::xml_node tr = tc.parent();
        while (tr && !wml::is(tr, "tr")) tr = tr.parent();
        if (pugi::xml_node e = borderChild(wml::child(wml::child(tr, "tblPrEx"), "tblBorders"), tableEdge))
            return lineOf(e);
        return tableLevelLine(tableEdge);
    }

    // The table's own line (w:tblPr, else its style) for a table-level edge; the same for every cell
    // side a read looks at, so it is looked up once per edge name while the read lasts.
    Line tableLevelLine(const char* tableEdge) const {
        for (const auto& [name, line] : tableLevelLines_)
            if (std::strcmp(name, tableEdge) == 0) return line;
        Line line;
        if (pugi::xml_node e = borderChild(wml::child(wml::child(area_.table, "tblPr"), "tblBorders"), tableEdge))
            line = lineOf(e);
        else if (pugi::xml_node e = model_->styles().tableStyleBorder(area_.table, tableEdge))
            line = lineOf(e);
        tableLevelLines_.emplace_back(tableEdge, line);
        return line;
    }

    Line effective(const Side& s) const {
        if (pugi::xml_node e = cellBorder(s.tc, s.side)) return lineOf(e);
        if (s.neighbour)
            if (pugi::xml_node e = cellBorder(s.neighbour, s.neighbourSide)) return lineOf(e);
        return tableLine(s.tc, s.table);
    }

    // onlyTableBorders, as the model noted it since the last change, or found anew and noted.
    bool onlyTableBordersNow(const TableGrid& grid) const {
        if (const std::optional<bool> known = model_->onlyTableBorders(area_.table)) return *known;
        const bool only = onlyTableBorders(grid);
        model_->noteOnlyTableBorders(area_.table, only);
        return only;
    }
    // Whether no cell or row of the table has borders of its own: every side of a whole-table edge then
    // shows the table's line, and is not looked up one by one.
    static bool onlyTableBorders(const TableGrid& grid) {
        if (grid.rowCount() == 0 || grid.row(1).cells.empty()) return false;
        auto bordered = [](pugi::xml_node tc) { return wml::child(wml::child(tc, "tcPr"), "tcBorders"); };
        for (const GridRow& row : grid.rows()) {
            if (wml::child(row.tr, "tblPrEx")) return false;
            for (const GridCell& c : row.cells)
                if (bordered(c.tc) || std::any_of(c.merged.begin(), c.merged.end(), bordered)) return false;
        }
        return true;
    }

    Line read() {
        const TableGrid& grid = load();
        tableLevelLines_.clear();
        if (wholeTable(grid) && onlyTableBordersNow(grid)) return tableLevelLine(edgeName(edge_));
        std::optional<Line> value;
        for (const Side& s : sides(grid)) {
            Line l = effective(s);
            if (value && !(*value == l)) return Line{wdUndefined, wdUndefined};
            value = l;
        }
        if (!value) {
            // No cell side lies on this edge (an inside edge of a single row or column).
            pugi::xml_node first = grid.rowCount()
                                       ? grid.row(1).cells.empty() ? pugi::xml_node() : grid.row(1).cells.front().tc
                                       : pugi::xml_node();
            return first ? tableLine(first, edgeName(edge_)) : Line{};
        }
        return *value;
    }

    void apply(int style, int width) {
        const TableGrid& grid = load();
        if (wholeTable(grid)) {
            const bool onlyTable = onlyTableBordersNow(grid);
            pugi::xml_node borders = wml::ensure(model_->pool(), wml::ensureTblPr(model_->pool(), area_.table),
                                                 "tblBorders", wml::Sequence::TblPr);
            const char* name = edgeName(edge_);
            if (edge_ == wdBorderLeft) wml::remove(borders, "start");
            if (edge_ == wdBorderRight) wml::remove(borders, "end");
            writeLine(model_->pool(), wml::ensure(model_->pool(), borders, name, wml::Sequence::Borders), style, width);
            // Cell and row borders on this edge would override the table's: they go.
            if (!onlyTable) {
                clearCellBordersOnEdge(grid);
                for (const GridRow& row : grid.rows())
                    if (pugi::xml_node ex = wml::child(wml::child(row.tr, "tblPrEx"), "tblBorders")) {
                        wml::remove(ex, name);
                        if (edge_ == wdBorderLeft) wml::remove(ex, "start");
                        if (edge_ == wdBorderRight) wml::remove(ex, "end");
                    }
            }
            model_->formatChanged();
            // The table's own line adds no cell or row borders.
            if (onlyTable) model_->noteOnlyTableBorders(area_.table, true);
            return;
        }
        for (const Side& s : sides(grid)) {
            writeCellSide(model_->pool(), s.tc, s.side, style, width);
            if (s.neighbour) writeCellSide(model_->pool(), s.neighbour, s.neighbourSide, style, width);
        }
        model_->formatChanged();
    }

    // Clears the cell borders of every cell side on this edge of the whole table, wherever the rows'
    // cells stand (a row of three cells above one cell spanning them all shares the inside line).
    void clearCellBordersOnEdge(const TableGrid& grid) const {
        std::vector<std::pair<int, bool>> below;  // the next row's cells: (grid start, continues a merge to the bottom)
        for (int r = grid.rowCount(); r >= 1; --r) {
            const auto& cells = grid.row(r).cells;
            std::vector<std::pair<int, bool>> here;
            for (const GridCell& c : cells) {
                bool bottom = r == grid.rowCount();
                for (const auto& [start, continuesToBottom] : below)
                    if (start == c.gridStart && continuesToBottom) bottom = true;
                here.emplace_back(c.gridStart, bottom && c.vmerge == VMerge::Continue);
                const bool first = &c == &cells.front(), last = &c == &cells.back();
                const pugi::xml_node rightmost = c.merged.empty() ? c.tc : c.merged.back();
                auto clear = [&](pugi::xml_node tc) {
                    switch (edge_) {
                        case wdBorderTop:
                            if (r == 1) clearCellSide(tc, "top");
                            break;
                        case wdBorderBottom:
                            if (bottom) clearCellSide(tc, "bottom");
                            break;
                        case wdBorderLeft:
                            if (first) clearCellSide(tc, "left");
                            break;
                        case wdBorderRight:
                            if (last) clearCellSide(tc, "right");
                            break;
                        case wdBorderHorizontal:
                            if (r > 1) clearCellSide(tc, "top");
                            if (!bottom) clearCellSide(tc, "bottom");
                            break;
                        case wdBorderVertical:
                            if (!first || tc != c.tc) clearCellSide(tc, "left");
                            if (!last || tc != rightmost) clearCellSide(tc, "right");
                            break;
                    }
                };
                for (pugi::xml_node tc : c.merged) clear(tc);
                clear(c.tc);
            }
            below = std::move(here);
        }
    }

    static void clearCellSide(pugi::xml_node tc, const char* side) {
        pugi::xml_node borders = wml::child(wml::child(tc, "tcPr"), "tcBorders");
        if (!borders) return;
        wml::remove(borders, side);
        if (std::string_view(side) == "left") wml::remove(borders, "start");
        if (std::string_view(side) == "right") wml::remove(borders, "end");
        if (!borders.first_child()) borders.parent().remove_child(borders);
    }

    static void writeCellSide(wml::StringPool& pool, pugi::xml_node tc, const char* side, int style, int width) {
        pugi::xml_node borders = wml::ensure(pool, wml::ensureTcPr(pool, tc), "tcBorders", wml::Sequence::TcPr);
        if (std::string_view(side) == "left") wml::remove(borders, "start");
        if (std::string_view(side) == "right") wml::remove(borders, "end");
        writeLine(pool, wml::ensure(pool, borders, side, wml::Sequence::Borders), style, width);
    }

    ModelPtr model_;
    Area area_;
    int edge_;
    mutable std::vector<std::pair<const char*, Line>> tableLevelLines_;
};

// Paragraph borders: the edges of the paragraphs of a text range ("between" for inside lines).
class ParagraphBorder final : public Border {
public:
    ParagraphBorder(ModelPtr model, Area area, int edge) : model_(std::move(model)), area_(area), edge_(edge) {}

    int LineStyle() override { return read().style; }
    int LineWidth() override {
        Line l = read();
        return l.style == wdUndefined ? wdUndefined : l.width;
    }
    void SetLineStyle(int style) override {
        auto paragraphs = target();
        if (style < 0 || style >= static_cast<int>(kStyleNames.size())) throw errors::valueOutOfRange();
        if (!name()) throw errors::notAvailable("段落没有此类边框");
        Line current = read();
        const int width = current.style > 0 && current.style != wdUndefined ? current.width : 4;
        for (pugi::xml_node p : paragraphs) write(p, style, style == 0 ? 0 : fitWidth(style, width));
        model_->formatChanged();
    }
    void SetLineWidth(int width) override {
        auto paragraphs = target();
        if (!name()) throw errors::notAvailable("段落没有此类边框");
        Line current = read();
        const int style = current.style > 0 && current.style != wdUndefined ? current.style : wdLineStyleSingle;
        const auto widths = lineWidthsOffered(style);
        if (std::find(widths.begin(), widths.end(), width) == widths.end()) throw errors::valueOutOfRange();
        for (pugi::xml_node p : paragraphs) write(p, style, width);
        model_->formatChanged();
    }

private:
    const char* name() const {
        switch (edge_) {
            case wdBorderTop: return "top";
            case wdBorderLeft: return "left";
            case wdBorderBottom: return "bottom";
            case wdBorderRight: return "right";
            case wdBorderHorizontal: return "between";
            default: return nullptr;
        }
    }
    std::vector<pugi::xml_node> target() {
        model_->check();
        return areaParagraphs(*model_, area_);
    }
    Line read() {
        std::optional<Line> value;
        for (pugi::xml_node p : target()) {
            Line l;
            if (name())
                if (pugi::xml_node e = borderChild(model_->styles().paragraphElement(p, "pBdr"), name())) l = lineOf(e);
            if (value && !(*value == l)) return Line{wdUndefined, wdUndefined};
            value = l;
        }
        return value.value_or(Line{});
    }
    void write(pugi::xml_node p, int style, int width) {
        pugi::xml_node pBdr =
            wml::ensure(model_->pool(), wml::ensurePPr(model_->pool(), p), "pBdr", wml::Sequence::PPr);
        writeLine(model_->pool(), wml::ensure(model_->pool(), pBdr, name(), wml::Sequence::Borders), style, width);
    }

    ModelPtr model_;
    Area area_;
    int edge_;
};

class BordersImpl final : public Borders {
public:
    BordersImpl(ModelPtr model, Area area) : model_(std::move(model)), area_(area) {}

    BorderPtr Item(int edge) override {
        model_->check();
        if (!edgeName(edge)) throw errors::noSuchMember();
        if (area_.kind == Area::Kind::Block) return std::make_shared<BlockBorder>(model_, area_, edge);
        return std::make_shared<ParagraphBorder>(model_, area_, edge);
    }

private:
    ModelPtr model_;
    Area area_;
};

}  // namespace

BordersPtr makeBorders(const ModelPtr& model, const Area& area) { return std::make_shared<BordersImpl>(model, area); }

}  // namespace automation::ooxml
