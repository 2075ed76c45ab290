// The active document's tables as the document window's side list shows them: number, rows × columns,
// the first row's text, whether the format run leaves the table alone, and a note of what the last
// run could not do to it (its details in the tooltip).
#pragma once

#include <QAbstractListModel>
#include <QString>

#include <map>
#include <vector>

#include "automation/word.h"
#include "commands/pass_over.h"

namespace shell {

struct TableSummary {
    int start = 0;  // Word's range of the table
    int end = 0;
    int rows = 0;
    int columns = 0;
    QString firstRow;
    bool borderless = false;  // no left and no top line: the format run leaves it alone
};

// Reads one table. Fails with automation::Error.
TableSummary summariseTable(automation::Table& table);

struct TableNote {
    QString text;     // shown in the list, before the first row's text
    QString details;  // the tooltip

    bool operator==(const TableNote&) const = default;
};

// What a run over the whole document could not do to each table, in the user's words ("行高未设置"),
// with what Word said in the details. A probe whose alternative worked (the title taken as one row
// where it is not two) is no refusal; both probes of the title failing means no title rows were found.
std::map<int, TableNote> runNotes(const std::vector<commands::PassedOver>& passedOver);

class TableListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void setTables(std::vector<TableSummary> tables);
    const std::vector<TableSummary>& tables() const { return tables_; }
    // Notes by table number (1 based); a table without one shows none.
    void setNotes(std::map<int, TableNote> notes);
    const std::map<int, TableNote>& notes() const { return notes_; }

private:
    std::vector<TableSummary> tables_;
    std::map<int, TableNote> notes_;
};

}  // namespace shell
