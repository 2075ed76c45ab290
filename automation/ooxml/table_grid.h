// The grid of one table as Word addresses it: rows are w:tr, cells the w:tc of a row in order.
#pragma once

#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml {

enum class VMerge { None, Restart, Continue };

struct GridCell {
    pugi::xml_node tc;
    int row = 0;        // 1-based
    int index = 0;      // 1-based position among the row's cells
    int gridStart = 0;  // 0-based first grid column
    int span = 1;       // grid columns covered
    VMerge vmerge = VMerge::None;
    int gridEnd() const { return gridStart + span - 1; }
};

struct GridRow {
    pugi::xml_node tr;
    int gridBefore = 0;
    int gridAfter = 0;
    std::vector<GridCell> cells;
};

class TableGrid {
public:
    explicit TableGrid(pugi::xml_node tbl);

    pugi::xml_node table() const { return tbl_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Word's Columns.Count: the largest number of cells in any row.
    int columnCount() const { return columnCount_; }
    // Grid columns the rows span (at least the w:tblGrid count).
    int gridWidth() const { return gridWidth_; }
    const std::vector<GridRow>& rows() const { return rows_; }
    const GridRow& row(int r) const { return rows_[static_cast<size_t>(r - 1)]; }

    bool hasVerticalMerge() const { return hasVerticalMerge_; }
    // True when every row has the same cells on the same grid columns (no spans, no gridBefore/After).
    bool uniformColumns() const { return uniform_; }

    // The c-th cell of row r, or null when the row or the cell does not exist.
    const GridCell* find(int r, int c) const;
    // Table.Cell(r, c): fails with 5941 when absent or when it continues a vertical merge.
    const GridCell& cell(int r, int c) const;
    // The cell of row r that covers grid column g, or null.
    const GridCell* atGrid(int r, int g) const;
    // The last row a cell's vertical merge reaches (its own row when it is not merged down).
    int mergeEnd(const GridCell& cell) const;
    // The row where a continuing cell's merge starts.
    int mergeStart(const GridCell& cell) const;

    // The cells of rows r1..r2 whose grid columns overlap g1..g2, in document order.
    std::vector<const GridCell*> block(int r1, int r2, int g1, int g2) const;

    // All rows of a table, wherever content controls wrap them.
    static std::vector<pugi::xml_node> rowNodes(pugi::xml_node tbl);
    static std::vector<pugi::xml_node> cellNodes(pugi::xml_node tr);

private:
    pugi::xml_node tbl_;
    std::vector<GridRow> rows_;
    int columnCount_ = 0;
    int gridWidth_ = 0;
    bool hasVerticalMerge_ = false;
    bool uniform_ = true;
};

}  // namespace automation::ooxml
