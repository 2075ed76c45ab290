#include "shell/table_list.h"

#include <QBrush>
#include <QColor>
#include <QStringList>

#include <algorithm>
#include <iterator>

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

// The operations of the run as the user knows the settings; the first match names an operation.
struct Effect {
    const char* operationPart;
    const char* words;
};
constexpr Effect kEffects[] = {
    {"Tables.Item.Select", "未能选定表格，整张表格未排版"},
    {"LineSpacing", "行距未设置"},
    {"PreferredWidth", "宽度未设置"},
    {"AutoFit", "宽度未设置"},
    {"LeftIndent", "宽度未设置"},
    {"Rows.Height", "行高未设置"},
    {"VerticalAlignment", "垂直居中未设置"},
    {"Borders", "线条未设置"},
    {"Font", "字体字号未设置"},
    {"HeadingFormat", "跨页标题行未设置"},
    {"Alignment", "对齐未设置"},
    {"RightPadding", "单元格右边距未设置"},
    {"RightIndent", "单元格右边距未设置"},
    {"Find", "空格未删除"},
    {"DisplayAlerts", "空格未删除"},
    {"ParagraphFormat", "段落格式未统一"},
};

// The two ways the run looks for a table's title rows, and for the area below them: when one of a
// pair works, the other failing is expected.
constexpr const char* kTitleProbes[] = {"Table.Cell(1,1)-Cell(2,C).Select", "Table.Rows.Item(1).Select"};
constexpr const char* kOtherAreaProbes[] = {"Table.Cell(3,2)-Cell(R,C).Select", "Table.Cell(2,2)-Cell(R,C).Select"};

QString detail(const QString& words, const commands::PassedOver& step) {
    return QStringLiteral("%1：%2（Word 错误 %3）").arg(words, qs(step.message)).arg(step.number);
}

}  // namespace

std::map<int, TableNote> runNotes(const std::vector<commands::PassedOver>& passedOver) {
    std::map<int, std::vector<const commands::PassedOver*>> byTable;
    for (const commands::PassedOver& step : passedOver)
        if (step.table > 0) byTable[step.table].push_back(&step);
    std::map<int, TableNote> notes;
    for (const auto& [table, steps] : byTable) {
        const auto failed = [&](const char* operation) -> const commands::PassedOver* {
            for (const commands::PassedOver* step : steps)
                if (step->operation == operation) return step;
            return nullptr;
        };
        QStringList words;
        QStringList details;
        const auto add = [&](const QString& said, const commands::PassedOver& step) {
            if (!words.contains(said)) words << said;
            details << detail(said, step);
        };
        if (failed(kTitleProbes[0]) && failed(kTitleProbes[1]))
            add(QStringLiteral("未识别出标题行：标题行对齐和跨页标题行未设置"), *failed(kTitleProbes[1]));
        if (failed(kOtherAreaProbes[0]) && failed(kOtherAreaProbes[1]))
            add(QStringLiteral("未识别出其他区域：其他区域的对齐、删除空格和右边距未设置"),
                *failed(kOtherAreaProbes[1]));
        for (const commands::PassedOver* step : steps) {
            const std::string& operation = step->operation;
            if (std::find(std::begin(kTitleProbes), std::end(kTitleProbes), operation) != std::end(kTitleProbes) ||
                std::find(std::begin(kOtherAreaProbes), std::end(kOtherAreaProbes), operation) !=
                    std::end(kOtherAreaProbes))
                continue;
            const auto effect = std::find_if(std::begin(kEffects), std::end(kEffects), [&](const Effect& e) {
                return operation.find(e.operationPart) != std::string::npos;
            });
            add(effect == std::end(kEffects) ? QStringLiteral("部分设置未生效") : qs(effect->words), *step);
        }
        if (words.isEmpty()) continue;
        notes[table] = {words.join(QStringLiteral("；")),
                        QStringLiteral("Word 拒绝了部分设置：\n") + details.join(QChar('\n'))};
    }
    return notes;
}

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
