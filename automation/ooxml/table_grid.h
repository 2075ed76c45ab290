// The grid of one table as Word addresses it: rows are w:tr, cells the w:tc of a row in order.
#pragma once

#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "automation/ooxml/story_index.h"

namespace automation::ooxml {

enum class VMerge { None, Restart, Continue };

struct GridCell {
    pugi::xml_node tc;
    int slot = 0;       // 0-based place of its row among the rows the grid was built with (TableGrid::rowOf)
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

struct TableGridData {
    pugi::xml_node tbl;
    std::vector<GridRow> rows;  // as built, removed ones included
    int rowCount = 0;
    int columnCount = 0;
    int gridWidth = 0;
    int declaredWidth = 0;  // the w:tblGrid count
    bool hasVerticalMerge = false;
    bool uniform = true;
    // Made at the first removal: which rows are gone, a count of those still there, and what the
    // shape of the table is made of (cells per row and grid extents, counted by value; irregular rows).
    std::vector<char> removed;
    Fenwick present;
    std::map<int, int> cellCounts;
    std::map<int, int> extents;
    int irregularRows = 0;
    // Made at the first lookup of a node: w:tc and w:tr to (slot, cell position or -1 for the row).
    mutable std::unordered_map<pugi::xml_node_struct*, std::pair<int, int>> places;
};

// Built from the DOM once; copies share the same data, so passing a grid around costs nothing, and
// rows taken out through one copy are gone from all of them.
//
// Rows taken out (removeRows) stay in place, marked, and a count of the rows still there gives row
// numbers and the r-th row in O(log n). Deleting the 2,666 blank rows of one table of 8,000 rows one
// by one took 16.5 s of CPU when every deletion built the grid anew; with the grid kept it takes 0.06 s
// (bench/document_shapes_bench.cpp, onLongTable/deleteEmptyRows).
class TableGrid {
public:
    explicit TableGrid(pugi::xml_node tbl);

    pugi::xml_node table() const { return d_->tbl; }
    int rowCount() const { return d_->rowCount; }
    // Word's Columns.Count: the largest number of cells in any row.
    int columnCount() const { return d_->columnCount; }
    // Grid columns the rows span (at least the w:tblGrid count).
    int gridWidth() const { return d_->gridWidth; }

    // The rows in table order, for range-for.
    class Rows {
    public:
        class iterator {
        public:
            iterator(const std::vector<GridRow>& rows, const std::vector<char>& removed, std::size_t at);
            const GridRow& operator*() const { return rows_[at_]; }
            iterator& operator++();
            bool operator!=(const iterator& other) const { return at_ != other.at_; }

        private:
            void skipRemoved();
            const std::vector<GridRow>& rows_;
            const std::vector<char>& removed_;
            std::size_t at_;
        };
        iterator begin() const { return {d_.rows, d_.removed, 0}; }
        iterator end() const { return {d_.rows, d_.removed, d_.rows.size()}; }

    private:
        friend class TableGrid;
        explicit Rows(const TableGridData& d) : d_(d) {}
        const TableGridData& d_;
    };
    Rows rows() const { return Rows(*d_); }
    const GridRow& row(int r) const;
    // The 1-based row number of a cell of this grid.
    int rowOf(const GridCell& cell) const;
    // The cell a w:tc of the table is (or belongs to, in a legacy horizontal merge), or null.
    const GridCell* cellOf(pugi::xml_node tc) const;
    // The 1-based number of a w:tr among the table's rows, 0 when it is none of them.
    int rowOfNode(pugi::xml_node tr) const;

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

    // Takes rows r1..r2 out of the grid once their w:tr have left the table. A table with vertical
    // merges changes more than its rows (a merge starting in a removed row restarts below it): false
    // then, and the grid is to be built anew.
    bool removeRows(int r1, int r2);

    // All rows of a table, wherever content controls wrap them.
    static std::vector<pugi::xml_node> rowNodes(pugi::xml_node tbl);
    static std::vector<pugi::xml_node> cellNodes(pugi::xml_node tr);

private:
    void resolveVerticalMerges(TableGridData& d) const;
    std::shared_ptr<TableGridData> d_;
};

}  // namespace automation::ooxml
