// The grid of one table as Word addresses it: rows are w:tr, cells the w:tc of a row in order.
#pragma once

#include <memory>
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
    // Cells that continue this one in a legacy horizontal merge (w:hMerge): part of this cell for Word.
    std::vector<pugi::xml_node> merged;
    int gridEnd() const { return gridStart + span - 1; }
};

struct GridRow {
    pugi::xml_node tr;
    int gridBefore = 0;
    int gridAfter = 0;
    std::vector<GridCell> cells;
};

// Built from the DOM once; copies share the same data, so passing a grid around costs nothing.
class TableGrid {
public:
    explicit TableGrid(pugi::xml_node tbl);

    pugi::xml_node table() const { return d_->tbl; }
    int rowCount() const { return static_cast<int>(d_->rows.size()); }
    // Word's Columns.Count: the largest number of cells in any row.
    int columnCount() const { return d_->columnCount; }
    // Grid columns the rows span (at least the w:tblGrid count).
    int gridWidth() const { return d_->gridWidth; }
    const std::vector<GridRow>& rows() const { return d_->rows; }
    const GridRow& row(int r) const { return d_->rows[static_cast<size_t>(r - 1)]; }

    bool hasVerticalMerge() const { return d_->hasVerticalMerge; }
    // True when every row has the same cells on the same grid columns (no spans, no gridBefore/After).
    bool uniformColumns() const { return d_->uniform; }

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
    struct Data {
        pugi::xml_node tbl;
        std::vector<GridRow> rows;
        int columnCount = 0;
        int gridWidth = 0;
        bool hasVerticalMerge = false;
        bool uniform = true;
    };
    void resolveVerticalMerges(Data& d) const;
    std::shared_ptr<const Data> d_;
};

}  // namespace automation::ooxml
