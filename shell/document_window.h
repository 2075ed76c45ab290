// The embedded Word's own window: what Word's window is to a Word user. It shows the open documents
// (one tab each, every one with its own pages drawn by LibreOffice from the embedded Word's current
// content), follows every change, selects the table the user clicks, lists the tables beside the
// pages with what the last run could not do to them, takes whole commands back and does them again,
// and has the file commands: open, save, print, export to PDF, the panel's settings files. Closing
// the last document leaves it empty; closing the window quits this Word.
#pragma once

#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "automation/hosted_documents.h"
#include "automation/word.h"
#include "commands/pass_over.h"
#include "shell/prompts.h"
#include "shell/table_list.h"

class QAction;
class QLabel;
class QListView;
class QMenu;
class QPrinter;
class QStackedWidget;
class QTabBar;
class QTimer;
class QUndoGroup;

namespace shell {

class DocumentPages;
class DocumentUndo;
class PageRenderer;
class PageView;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    // Renderers of documents not shown for this long are ended (their pictures stay); at most this
    // many documents keep one.
    static constexpr int kGiveBackMs = 120'000;
    static constexpr int kLiveRenderers = 3;

    DocumentWindow(std::shared_ptr<automation::Application> word,
                   std::shared_ptr<automation::HostedDocuments> documents, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    // The active document's pages and renderer; with no document open, a page view with a note and no
    // renderer.
    PageView* pageView() const;
    PageRenderer* renderer() const;
    QListView* tablePanel() const { return panel_; }
    TableListModel* tableList() const { return tableList_; }
    QTabBar* tabs() const { return tabs_; }
    QUndoGroup* undoGroup() const;
    const std::vector<TableSummary>& tables() const { return tableList_->tables(); }
    // The text the status bar shows for the active document and its selection ("有未保存的更改").
    QString stateText() const;
    // Reads the documents again and shows them (done by itself after every change).
    void refresh();
    // Gives back the renderers of documents hidden longer than kGiveBackMs (done by itself now and then).
    void giveBackRenderers();

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
    // 关闭 (Ctrl+W): closes the active document, asking first when it has unsaved changes; the window
    // stays, empty after the last one. False when the user cancelled.
    bool closeDocument();
    // 打印… (Ctrl+P): Qt's print dialog, then the pages as LibreOffice draws them at the printer's
    // resolution. 导出为 PDF…: LibreOffice's own PDF of the document as it stands.
    void printDocument();
    void exportPdf();
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
    // The report of a format run on the active document: each table's entry says what did not apply
    // (a run on the selected table alone marks none).
    void showRefusals(const std::vector<commands::PassedOver>& passedOver, bool singleTable);

signals:
    // This Word has quit; the window is about to go away.
    void wordEnded();
    // 只排版所选表格: the single-table window is wanted for the selected table.
    void singleTableModeRequested();
    // 窗口 › 排版面板: the main window is wanted.
    void panelRequested();
    // 文件 › 载入排版设置… / 保存排版设置…
    void loadSettingsRequested();
    void saveSettingsRequested();
    // A PDF export or a print job has ended: error is empty when it succeeded.
    void pdfExported(const QString& path, const QString& error);
    void printed(const QString& error);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void changed();
    void refreshDocuments();
    DocumentPages* pagesOf(std::uint64_t id) const;
    DocumentPages* activePages() const;
    DocumentPages* addPages(std::uint64_t id);
    void showActive(DocumentPages* active);
    bool closeActive();
    void quitWord();
    void updateTabs(const std::vector<std::uint64_t>& ids, const QStringList& names, int active);
    void updateTitleAndStatus();
    void showPosition();
    void readTables(DocumentPages& pages, std::uint64_t version);
    void forgetNotes();
    void showSelectedTable();
    void fillRecentMenu();
    void fillWindowMenu();
    // A copy of the active document for a print or export job; empty when Word could not write one.
    QString jobCopy();
    void printPages(const std::shared_ptr<QPrinter>& printer, PageRenderer* job, const QString& copy);

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
    QStackedWidget* stack_;
    PageView* emptyView_;  // what shows when no document is open
    std::map<std::uint64_t, DocumentPages*> pages_;
    // What the last run on each document could not do, by table, until the next command on it.
    std::map<std::uint64_t, std::map<int, TableNote>> notes_;
    TableListModel* tableList_;
    QListView* panel_;
    QTabBar* tabs_;
    QLabel* stateLabel_;
    QLabel* progressLabel_;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    QTimer* giveBackTimer_;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> documentActions_;  // those that need an open document
    QTemporaryDir renderFolder_;
    std::vector<std::uint64_t> tabIds_;
    std::uint64_t listedId_ = 0;  // the document and version the table list shows
    std::optional<std::uint64_t> listedVersion_;
    int jobs_ = 0;         // copies written for print and export jobs
    QString commandName_;  // the command running, and whether the selection was in a table then
    bool commandInTable_ = false;
    bool refreshPending_ = false;
    bool refreshing_ = false;
    bool ending_ = false;
    bool updatingTabs_ = false;
};

}  // namespace shell
