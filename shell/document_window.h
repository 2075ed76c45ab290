// The embedded Word's own window: what Word's window is to a Word user. It shows the open documents
// (one tab each) as pages drawn by LibreOffice from the embedded Word's current content, follows
// every change, selects the table the user clicks, lists the tables beside the pages, takes whole
// commands back and does them again, and has the file commands. Closing the window quits this Word.
#pragma once

#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "automation/ooxml/application.h"
#include "commands/pass_over.h"
#include "shell/page_renderer.h"
#include "shell/undo_history.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QTabBar;

namespace shell {

class PageView;

// One table of the active document as the side panel lists it.
struct TableSummary {
    int start = 0;  // Word's range of the table
    int end = 0;
    int rows = 0;
    int columns = 0;
    QString firstRow;
    bool borderless = false;  // the format run leaves it alone
};

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(std::shared_ptr<automation::ooxml::WordApplication> word, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    PageView* pageView() const { return pages_; }
    QListWidget* tablePanel() const { return panel_; }
    QTabBar* tabs() const { return tabs_; }
    PageRenderer* renderer() const { return renderer_; }
    const std::vector<TableSummary>& tables() const { return tables_; }
    // The tables (1 based) where Word refused something in the last whole-document format run, with
    // Word's messages; empty once another command, an undo or a redo has run.
    const std::map<int, QStringList>& refusedTables() const { return refused_; }
    // Reads the documents again and shows them (done by itself after every change).
    void refresh();

public slots:
    // 打开…: Word's Open dialog; an unreadable file leaves the open documents as they were.
    void openFile();
    // Opens a file by name (the command line, 最近打开的文件); false when it could not be opened.
    bool openPath(const QString& path);
    // 最近打开的文件: opens the file; one that no longer exists leaves the list with a message.
    void openRecent(const QString& path);
    // 保存 / 另存为…: false when nothing was saved.
    bool saveDocument();
    bool saveDocumentAs();
    // 关闭: closes the active document, asking first when it has unsaved changes. Closing the last
    // document quits this Word. False when the user cancelled.
    bool closeDocument();
    // A click on the page at this point (twips): selects the table there, else leaves an insertion
    // point between the tables.
    void clickAt(const QPoint& documentTwips);
    // Selects Word's table number table (1 based) as a whole and shows it.
    void selectTableNumber(int table);
    // 表格 > 选定表格: selects the whole table that holds the insertion point.
    void selectTable();
    // 撤销 / 重做 of the last whole command.
    void undo();
    void redo();
    // The main window's commands start and end here: one undo step each.
    void commandStarted(const QString& name);
    void commandEnded();
    // The report of a format run on the active document: the tables where Word refused something are
    // marked in the panel (a run on the selected table alone marks none).
    void showRefusals(const std::vector<commands::PassedOver>& passedOver, bool singleTable);

signals:
    // This Word has quit; the window is about to go away.
    void wordEnded();
    // 只排版所选表格: the single-table window is wanted for the selected table.
    void singleTableModeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void changed();
    bool closeActive();
    void quitWord();
    void updateTabs(const std::vector<std::uint64_t>& ids, const QStringList& names, int active);
    void updateTitleAndStatus();
    void updateUndoActions();
    void moveInHistory(void (UndoHistory::*move)());
    void readTables();
    void labelPanel();
    void forgetRefusals();
    void renderDocument();
    void showSelectedTable();
    void fillRecentMenu();
    void fillWindowMenu();

    std::shared_ptr<automation::ooxml::WordApplication> word_;
    UndoHistory history_;
    PageRenderer* renderer_;
    PageView* pages_;
    QListWidget* panel_;
    QTabBar* tabs_;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* closeAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QTemporaryDir renderFolder_;
    std::vector<std::uint64_t> tabIds_;
    std::vector<TableSummary> tables_;
    std::map<int, QStringList> refused_;
    std::uint64_t refusedId_ = 0;  // the document refused_ belongs to
    std::uint64_t shownId_ = 0;    // the document and content version the pages were asked for
    std::uint64_t shownVersion_ = 0;
    int renderCount_ = 0;
    bool refreshPending_ = false;
    bool ending_ = false;
    bool commandRunning_ = false;
    bool updatingTabs_ = false;
};

}  // namespace shell
