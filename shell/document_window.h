// The embedded Word's own window: what Word's window is to a Word user. It shows the open documents
// (one tab each) as pages drawn by LibreOffice from the embedded Word's current content, follows
// every change, selects the table the user clicks, lists the tables beside the pages, takes whole
// commands back and does them again, and has the file commands. Closing the window quits this Word.
#pragma once

#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "automation/hosted_documents.h"
#include "automation/word.h"
#include "commands/pass_over.h"
#include "shell/page_renderer.h"
#include "shell/prompts.h"
#include "shell/table_list.h"

class QAction;
class QLabel;
class QListView;
class QMenu;
class QTabBar;
class QUndoGroup;

namespace shell {

class DocumentUndo;
class PageView;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    DocumentWindow(std::shared_ptr<automation::Application> word,
                   std::shared_ptr<automation::HostedDocuments> documents, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    PageView* pageView() const { return pages_; }
    QListView* tablePanel() const { return panel_; }
    TableListModel* tableList() const { return tableList_; }
    QTabBar* tabs() const { return tabs_; }
    PageRenderer* renderer() const { return renderer_; }
    QUndoGroup* undoGroup() const;
    const std::vector<TableSummary>& tables() const { return tableList_->tables(); }
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
    void refreshDocuments();
    bool closeActive();
    void quitWord();
    void updateTabs(const std::vector<std::uint64_t>& ids, const QStringList& names, int active);
    void updateTitleAndStatus();
    void readTables();
    void labelPanel();
    void forgetRefusals();
    void renderDocument();
    void showSelectedTable();
    void fillRecentMenu();
    void fillWindowMenu();

    // Where what Word says about a call that failed is shown: the status bar for what the window does
    // by itself, a message box for what the user asked for.
    const std::function<void(const QString&)> inStatusBar_ = [this](const QString& text) {
        statusBar()->showMessage(text);
    };
    const std::function<void(const QString&)> inMessageBox_ = [this](const QString& text) {
        prompts().message(this, text);
    };

    std::shared_ptr<automation::Application> word_;
    std::shared_ptr<automation::HostedDocuments> documents_;
    DocumentUndo* undo_;
    PageRenderer* renderer_;
    PageView* pages_;
    TableListModel* tableList_;
    QListView* panel_;
    QTabBar* tabs_;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* closeAction_ = nullptr;
    QTemporaryDir renderFolder_;
    std::vector<std::uint64_t> tabIds_;
    std::map<int, QStringList> refused_;
    std::uint64_t refusedId_ = 0;  // the document refused_ belongs to
    std::uint64_t shownId_ = 0;    // the document and content version the pages were asked for
    std::uint64_t shownVersion_ = 0;
    int renderCount_ = 0;
    bool refreshPending_ = false;
    bool refreshing_ = false;
    bool ending_ = false;
    bool updatingTabs_ = false;
};

}  // namespace shell
