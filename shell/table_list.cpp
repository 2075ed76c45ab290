#include "shell/table_list.h"

#include <QBrush>
#include <QColor>
#include <QStringList>

#include "shell/utf8.h"

namespace shell {

namespace {

constexpr int kFirstRowColumns = 6;
constexpr int kFirstRowLength = 40;

// A cell's text without Word's end-of-cell mark and paragraph marks; empty for a cell merged away.
QString firstRowCellText(automation::Table& table, int column) {
    automation::CellPtr cell;
    try {
        cell = table.Cell(1, column);
    } catch (const automation::Error&) {
        return QString();  // merged into the cell before it
    }
    QString text = qs(cell->Range()->Text());
    text.remove(QChar(7));
    text.replace(QChar('\r'), QChar(' '));
    return text.simplified();
}

}  // namespace

TableSummary summariseTable(automation::Table& table) {
    TableSummary summary;
    automation::RangePtr range = table.Range();
    summary.start = range->Start();
    summary.end = range->End();
    summary.rows = table.Rows()->Count();
    summary.columns = table.Columns()->Count();
    QStringList texts;
    for (int column = 1; column <= std::min(summary.columns, kFirstRowColumns); ++column)
        texts << firstRowCellText(table, column);
    summary.firstRow = texts.join(QStringLiteral(" | "));
    if (summary.firstRow.size() > kFirstRowLength)
        summary.firstRow = summary.firstRow.left(kFirstRowLength) + QChar(0x2026);
    // The same test the format run makes on its selection.
    try {
        automation::BordersPtr borders = table.Borders();
        summary.borderless = borders->Item(automation::wdBorderLeft)->LineStyle() == automation::wdLineStyleNone &&
                             borders->Item(automation::wdBorderTop)->LineStyle() == automation::wdLineStyleNone;
    } catch (const automation::Error&) {
        summary.borderless = true;  // as in the run: a table whose borders Word cannot read is left alone
    }
    return summary;
}

int TableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(tables_.size());
}

QVariant TableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int number = index.row() + 1;
    const TableSummary& table = tables_[static_cast<std::size_t>(index.row())];
    const auto note = notes_.find(number);
    switch (role) {
        case Qt::DisplayRole: {
            // The note stands before the first row's text, which the list's width often cuts off.
            QString text = QStringLiteral("%1  %2×%3  ").arg(number).arg(table.rows).arg(table.columns);
            if (note != notes_.end()) text += note->second.text + QStringLiteral("  ");
            text += table.firstRow;
            if (table.borderless) text += QStringLiteral("  无线条");
            return text;
        }
        case Qt::ForegroundRole: return note != notes_.end() ? QVariant(QBrush(QColor(0xB0, 0x30, 0x00))) : QVariant();
        case Qt::ToolTipRole: return note != notes_.end() ? QVariant(note->second.details) : QVariant();
        default: return {};
    }
}

void TableListModel::setTables(std::vector<TableSummary> tables) {
    beginResetModel();
    tables_ = std::move(tables);
    endResetModel();
}

void TableListModel::setNotes(std::map<int, TableNote> notes) {
    notes_ = std::move(notes);
    if (!tables_.empty()) emit dataChanged(this->index(0), this->index(rowCount() - 1));
}

}  // namespace shell
