#include "shell/document_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include "shell/document_undo.h"
#include "shell/page_view.h"
#include "shell/prompts.h"
#include "shell/recent_files.h"
#include "shell/utf8.h"
#include "shell/word_calls.h"

namespace shell {

namespace {

const char* const kRefusedMark = "[Word 拒绝了部分设置]";

QString fileNameOf(automation::Document& document) { return QFileInfo(qs(document.FullName())).fileName(); }

}  // namespace

DocumentWindow::DocumentWindow(std::shared_ptr<automation::Application> word,
                               std::shared_ptr<automation::HostedDocuments> documents, QWidget* parent)
    : QMainWindow(parent),
      word_(std::move(word)),
      documents_(std::move(documents)),
      undo_(new DocumentUndo(*documents_, inMessageBox_, this)),
      renderer_(new PageRenderer(this)),
      pages_(new PageView(this)),
      tableList_(new TableListModel(this)),
      panel_(new QListView(this)),
      tabs_(new QTabBar(this)),
      pageLabel_(new QLabel(this)),
      zoomLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("WordWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(860, 680);

    tabs_->setObjectName(QStringLiteral("DocumentTabs"));
    tabs_->setDocumentMode(true);
    tabs_->setExpanding(false);
    panel_->setObjectName(QStringLiteral("TablePanel"));
    panel_->setModel(tableList_);
    panel_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    panel_->setToolTip(QStringLiteral("文档中的表格：序号、行×列、首行文字。单击选定表格。"));
    auto* splitter = new QSplitter(this);
    splitter->addWidget(panel_);
    splitter->addWidget(pages_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    statusBar()->addPermanentWidget(pageLabel_);
    statusBar()->addPermanentWidget(zoomLabel_);
    buildMenus();

    connect(renderer_, &PageRenderer::pagesReady, pages_, &PageView::setPages);
    connect(renderer_, &PageRenderer::pageReady, pages_, &PageView::setPageImage);
    connect(renderer_, &PageRenderer::tablesReady, this, [this](const QVector<TablePlace>& places) {
        pages_->setTablePlaces(places);
        showSelectedTable();
    });
    connect(renderer_, &PageRenderer::busyChanged, pages_, &PageView::setUpdating);
    connect(renderer_, &PageRenderer::unavailable, this, [this](const QString& message) {
        if (pages_->pageCount() == 0) pages_->setNotice(message);
        statusBar()->showMessage(message);
    });
    connect(pages_, &PageView::pageWanted, renderer_, &PageRenderer::requestPage);
    connect(pages_, &PageView::clicked, this, &DocumentWindow::clickAt);
    connect(pages_, &PageView::doubleClicked, this, &DocumentWindow::clickAt);
    connect(pages_, &PageView::contextMenuWanted, this, [this](const QPoint& point, const QPoint& global) {
        if (const int table = pages_->tableAt(point)) selectTableNumber(table);
        QMenu menu(this);
        menu.addAction(QStringLiteral("选定表格"), this, &DocumentWindow::selectTable);
        menu.addAction(QStringLiteral("只排版所选表格"), this, &DocumentWindow::singleTableModeRequested);
        menu.exec(global);
    });
    const auto showPosition = [this] {
        zoomLabel_->setText(QStringLiteral("%1%").arg(pages_->zoomPercent()));
        pageLabel_->setText(
            pages_->pageCount() > 0
                ? QStringLiteral("第 %1 页，共 %2 页").arg(pages_->currentPage() + 1).arg(pages_->pageCount())
                : QString());
    };
    connect(pages_, &PageView::zoomChanged, this, showPosition);
    connect(pages_, &PageView::currentPageChanged, this, showPosition);
    connect(renderer_, &PageRenderer::pagesReady, this, showPosition);
    connect(panel_, &QListView::clicked, this,
            [this](const QModelIndex& index) { selectTableNumber(index.row() + 1); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (updatingTabs_ || index < 0 || index >= static_cast<int>(tabIds_.size())) return;
        callWord(inStatusBar_, [&] { documents_->activateDocument(tabIds_[static_cast<std::size_t>(index)]); });
    });
    // Marks of a run describe that run, not the state an undo or a redo goes back to.
    connect(undo_, &DocumentUndo::moved, this, &DocumentWindow::forgetRefusals);
    connect(undo_->group(), &QUndoGroup::indexChanged, this, &DocumentWindow::refresh);

    documents_->setFileChooser([this]() -> std::optional<std::string> {
        const QString path = prompts().chooseOpenFile(this);
        if (path.isEmpty()) return std::nullopt;
        return utf8(path);
    });
    documents_->setChangeListener([this] { changed(); });
    refresh();
}

DocumentWindow::~DocumentWindow() {
    documents_->setChangeListener(nullptr);
    documents_->setFileChooser(nullptr);
}

QUndoGroup* DocumentWindow::undoGroup() const { return undo_->group(); }

void DocumentWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* open = file->addAction(QStringLiteral("打开(&O)…"), this, &DocumentWindow::openFile);
    open->setObjectName(QStringLiteral("actionOpen"));
    open->setShortcut(QKeySequence::Open);
    recentMenu_ = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &DocumentWindow::fillRecentMenu);
    saveAction_ = file->addAction(QStringLiteral("保存(&S)"), this, &DocumentWindow::saveDocument);
    saveAction_->setObjectName(QStringLiteral("actionSave"));
    saveAction_->setShortcut(QKeySequence::Save);
    saveAsAction_ = file->addAction(QStringLiteral("另存为(&A)…"), this, &DocumentWindow::saveDocumentAs);
    saveAsAction_->setObjectName(QStringLiteral("actionSaveAs"));
    file->addSeparator();
    closeAction_ = file->addAction(QStringLiteral("关闭(&C)"), this, &DocumentWindow::closeDocument);
    closeAction_->setObjectName(QStringLiteral("actionClose"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    QAction* undo = undo_->group()->createUndoAction(this, QStringLiteral("撤销"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addAction(undo);
    QAction* redo = undo_->group()->createRedoAction(this, QStringLiteral("重做"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addAction(redo);

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    view->addAction(QStringLiteral("适合宽度(&W)"), pages_, &PageView::setFitWidth)
        ->setObjectName(QStringLiteral("actionFitWidth"));
    view->addAction(QStringLiteral("100%(&1)"), this, [this] { pages_->setZoomPercent(100); })
        ->setObjectName(QStringLiteral("actionActualSize"));
    view->addAction(QStringLiteral("放大(&I)"), QKeySequence::ZoomIn, this,
                    [this] { pages_->setZoomPercent(pages_->zoomPercent() + 10); });
    view->addAction(QStringLiteral("缩小(&O)"), QKeySequence::ZoomOut, this,
                    [this] { pages_->setZoomPercent(pages_->zoomPercent() - 10); });

    QMenu* tableMenu = menuBar()->addMenu(QStringLiteral("表格(&T)"));
    tableMenu->addAction(QStringLiteral("选定表格(&S)"), this, &DocumentWindow::selectTable)
        ->setObjectName(QStringLiteral("actionSelectTable"));
    tableMenu->addAction(QStringLiteral("只排版所选表格(&O)"), this, &DocumentWindow::singleTableModeRequested)
        ->setObjectName(QStringLiteral("actionSingleTable"));

    windowMenu_ = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &DocumentWindow::fillWindowMenu);
}

void DocumentWindow::changed() {
    // Word made visible appears at once, before whatever the program shows next.
    if (!isVisible() && !ending_ && documents_->running())
        callWord(inStatusBar_, [&] {
            if (word_->Visible()) show();
        });
    // Word calls this after every change, thousands of times in a run: show the result once the
    // window system gets its turn again.
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refresh(); });
}

void DocumentWindow::refresh() {
    if (refreshing_) {
        // Asked again by what this refresh does (the undo group follows the active document).
        changed();
        return;
    }
    refreshPending_ = false;
    if (ending_) return;
    refreshing_ = true;
    refreshDocuments();
    refreshing_ = false;
}

void DocumentWindow::refreshDocuments() {
    if (!documents_->running()) {
        // This Word has quit (from here or from a command): its window goes with it.
        ending_ = true;
        refreshing_ = false;
        hide();
        emit wordEnded();
        deleteLater();
        return;
    }
    const std::vector<std::uint64_t> ids = documents_->documentIds();
    const std::uint64_t activeId = documents_->activeDocumentId();
    QStringList names;
    callWord(inStatusBar_, [&] {
        automation::DocumentsPtr documents = word_->Documents();
        for (int i = 1; i <= documents->Count(); ++i) {
            automation::DocumentPtr document = documents->Item(i);
            names << fileNameOf(*document);
            const std::uint64_t id = i <= static_cast<int>(ids.size()) ? ids[static_cast<std::size_t>(i - 1)] : 0;
            if (std::find(tabIds_.begin(), tabIds_.end(), id) == tabIds_.end()) recent::add(qs(document->FullName()));
        }
    });
    const auto active = std::find(ids.begin(), ids.end(), activeId);
    undo_->follow(ids, activeId);
    updateTabs(ids, names, active == ids.end() ? -1 : static_cast<int>(active - ids.begin()));

    if (ids.empty()) {
        shownId_ = 0;
        tableList_->setTables({});
        pages_->setNotice(QStringLiteral("没有打开的文档。请用“文件”菜单中的“打开…”打开一个 .docx 文件。"));
    } else {
        callWord(inStatusBar_, [&] {
            const std::uint64_t version = documents_->contentVersion();
            if (activeId != shownId_ || version != shownVersion_) {
                if (activeId != shownId_) pages_->setTablePlaces({});
                shownId_ = activeId;
                shownVersion_ = version;
                readTables();
                renderDocument();
            }
            undo_->noteSaved(word_->ActiveDocument()->Saved());
        });
    }
    showSelectedTable();
    updateTitleAndStatus();

    bool visible = false;
    callWord(inStatusBar_, [&] { visible = word_->Visible(); });
    if (visible && !isVisible()) show();
}

void DocumentWindow::updateTabs(const std::vector<std::uint64_t>& ids, const QStringList& names, int active) {
    updatingTabs_ = true;
    if (ids != tabIds_ || names.size() != tabs_->count()) {
        while (tabs_->count() > 0) tabs_->removeTab(0);
        for (const QString& name : names) tabs_->addTab(name);
        tabIds_ = ids;
    } else {
        for (int i = 0; i < names.size(); ++i) tabs_->setTabText(i, names.at(i));
    }
    if (active >= 0) tabs_->setCurrentIndex(active);
    tabs_->setVisible(!ids.empty());
    updatingTabs_ = false;
}

void DocumentWindow::readTables() {
    std::vector<TableSummary> summaries;
    automation::TablesPtr tables = word_->ActiveDocument()->Tables();
    const int count = tables->Count();
    summaries.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        // A table Word cannot describe keeps its line, with its number alone.
        if (!callWord(inStatusBar_, [&] { summaries.push_back(summariseTable(*tables->Item(i))); }))
            summaries.emplace_back();
    }
    tableList_->setTables(std::move(summaries));
    labelPanel();
}

// The notes of the last run, if it was a run on this document.
void DocumentWindow::labelPanel() {
    std::map<int, TableNote> notes;
    if (refusedId_ == shownId_) {
        for (const auto& [table, messages] : refused_)
            notes[table] = {QString::fromUtf8(kRefusedMark),
                            QStringLiteral("Word 拒绝了部分设置：\n") + messages.join(QChar('\n'))};
    }
    tableList_->setNotes(std::move(notes));
}

void DocumentWindow::showRefusals(const std::vector<commands::PassedOver>& passedOver, bool singleTable) {
    refused_.clear();
    refusedId_ = documents_->activeDocumentId();
    for (const commands::PassedOver& step : passedOver) {
        if (singleTable || step.table < 1) continue;
        QStringList& messages = refused_[step.table];
        const QString message = qs(step.message);
        if (!messages.contains(message)) messages << message;
    }
    labelPanel();
}

void DocumentWindow::forgetRefusals() {
    if (refused_.empty()) return;
    refused_.clear();
    labelPanel();
}

void DocumentWindow::renderDocument() {
    if (!renderFolder_.isValid()) return;
    // A new file for every version: the renderer may still be reading the one before.
    const QString path = renderFolder_.filePath(QStringLiteral("page-%1.docx").arg(++renderCount_));
    QFile::remove(renderFolder_.filePath(QStringLiteral("page-%1.docx").arg(renderCount_ - 2)));
    if (!callWord(inStatusBar_, [&] { documents_->saveCopy(utf8(path)); })) return;
    if (pages_->pageCount() == 0) pages_->setNotice(QString());
    renderer_->show(path);
}

void DocumentWindow::showSelectedTable() {
    int selected = 0;
    bool whole = false;
    const std::vector<TableSummary>& tables = tableList_->tables();
    if (!tables.empty() && documents_->activeDocumentId() != 0) {
        callWord(inStatusBar_, [&] {
            automation::SelectionPtr selection = word_->Selection();
            const int start = selection->Start();
            const int end = selection->End();
            const auto it = std::find_if(tables.begin(), tables.end(),
                                         [start](const TableSummary& t) { return t.start <= start && start < t.end; });
            if (it != tables.end()) {
                selected = static_cast<int>(it - tables.begin()) + 1;
                whole = start == it->start && end == it->end;
            }
        });
    }
    pages_->setSelectedTable(selected);
    const QSignalBlocker blocker(panel_);
    panel_->setCurrentIndex(tableList_->index(selected - 1));
    QString status;
    if (selected > 0) status = whole ? QStringLiteral("已选定整个表格") : QStringLiteral("插入点在表格中");
    statusBar()->setProperty("selection", status);
}

void DocumentWindow::updateTitleAndStatus() {
    QString name;
    QString status;
    if (documents_->activeDocumentId() != 0) {
        callWord(inStatusBar_, [&] {
            automation::DocumentPtr document = word_->ActiveDocument();
            name = fileNameOf(*document);
            if (!document->Saved()) status = QStringLiteral("有未保存的更改");
        });
    }
    const QString selection = statusBar()->property("selection").toString();
    if (!selection.isEmpty()) status += (status.isEmpty() ? QString() : QStringLiteral("    ")) + selection;
    const QString word = QStringLiteral("内置 Word");
    setWindowTitle(name.isEmpty() ? word : name + QStringLiteral(" - ") + word);
    statusBar()->showMessage(status);
    const bool hasDocument = !name.isEmpty();
    saveAction_->setEnabled(hasDocument);
    saveAsAction_->setEnabled(hasDocument);
}

void DocumentWindow::commandStarted(const QString& name) {
    forgetRefusals();
    undo_->begin(name);
}

void DocumentWindow::commandEnded() {
    undo_->end();
    refresh();
}

void DocumentWindow::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = recent::files();
    for (const QString& path : files)
        recentMenu_->addAction(QFileInfo(path).fileName(), this, [this, path] { openRecent(path); })->setToolTip(path);
    if (files.isEmpty()) recentMenu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

void DocumentWindow::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        // Moved or deleted since: it leaves the list, and the user hears why nothing opened.
        recent::remove(path);
        prompts().message(
            this, QStringLiteral("找不到文件“%1”，已将它从最近打开的文件中删除。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    openPath(path);
}

void DocumentWindow::fillWindowMenu() {
    windowMenu_->clear();
    auto* group = new QActionGroup(windowMenu_);
    for (int i = 0; i < tabs_->count(); ++i) {
        QAction* action = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(tabs_->tabText(i)));
        action->setCheckable(true);
        action->setChecked(i == tabs_->currentIndex());
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { tabs_->setCurrentIndex(i); });
    }
    if (tabs_->count() == 0) windowMenu_->addAction(QStringLiteral("（没有打开的文档）"))->setEnabled(false);
}

void DocumentWindow::openFile() {
    callWord(inMessageBox_, [&] { word_->Dialogs()->Item(automation::wdDialogFileOpen)->Show(); });
}

bool DocumentWindow::openPath(const QString& path) {
    return callWord(inMessageBox_, [&] { word_->Documents()->Open(utf8(path)); });
}

bool DocumentWindow::saveDocument() {
    if (documents_->activeDocumentId() == 0) return false;
    if (!callWord(inMessageBox_, [&] { word_->ActiveDocument()->Save(); })) return false;
    refresh();
    return true;
}

bool DocumentWindow::saveDocumentAs() {
    if (documents_->activeDocumentId() == 0) return false;
    bool saved = false;
    callWord(inMessageBox_, [&] {
        automation::DocumentPtr document = word_->ActiveDocument();
        QString path = prompts().chooseSaveFile(this, qs(document->FullName()));
        if (path.isEmpty()) return;
        if (!path.endsWith(QStringLiteral(".docx"), Qt::CaseInsensitive)) path += QStringLiteral(".docx");
        document->SaveAs(utf8(path));
        recent::add(path);
        saved = true;
    });
    if (saved) refresh();
    return saved;
}

// Closes the active document after asking about unsaved changes; false when it stays open.
bool DocumentWindow::closeActive() {
    bool closed = false;
    callWord(inMessageBox_, [&] {
        automation::DocumentPtr document = word_->ActiveDocument();
        if (!document->Saved()) {
            switch (prompts().askSave(this, fileNameOf(*document))) {
                case SaveAnswer::Cancel: return;
                case SaveAnswer::Save:
                    if (!saveDocument()) return;
                    break;
                case SaveAnswer::Discard: break;
            }
        }
        document->Close(automation::wdDoNotSaveChanges);
        closed = true;
    });
    return closed;
}

void DocumentWindow::quitWord() {
    // A Word that has gone already has nothing left to quit.
    if (documents_->running()) callWord(inStatusBar_, [&] { word_->Quit(); });
    refresh();
}

bool DocumentWindow::closeDocument() {
    if (documents_->activeDocumentId() != 0 && !closeActive()) return false;
    if (documents_->activeDocumentId() == 0) quitWord();
    return true;
}

void DocumentWindow::clickAt(const QPoint& documentTwips) {
    if (const int table = pages_->tableAt(documentTwips)) return selectTableNumber(table);
    // Outside every table: an insertion point after the last table above the click.
    int above = 0;
    for (const TablePlace& place : pages_->tablePlaces())
        if (place.rect.bottom() < documentTwips.y()) above = std::max(above, place.table);
    const std::vector<TableSummary>& tables = tableList_->tables();
    const int position =
        above > 0 && above <= static_cast<int>(tables.size()) ? tables[static_cast<std::size_t>(above - 1)].end : 0;
    // The pages may show an older version than Word holds: the next refresh shows it as it is now.
    callWord(inStatusBar_, [&] { word_->ActiveDocument()->Range(position, position)->Select(); });
}

void DocumentWindow::selectTableNumber(int table) {
    // The pages may show an older version in which that table still existed.
    if (callWord(inStatusBar_, [&] { word_->ActiveDocument()->Tables()->Item(table)->Select(); }))
        pages_->scrollToTable(table);
}

void DocumentWindow::selectTable() {
    callWord(inStatusBar_, [&] {
        automation::TablesPtr tables = word_->Selection()->Tables();
        if (tables->Count() > 0)
            tables->Item(1)->Select();
        else
            statusBar()->showMessage(QStringLiteral("插入点不在表格中，没有选定表格。"));
    });
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // Every open document first, each with its question; a cancel keeps Word and its window.
    while (documents_->running() && documents_->activeDocumentId() != 0) {
        if (!closeActive()) {
            event->ignore();
            return;
        }
    }
    event->ignore();  // refresh() hides and deletes the window once Word has quit
    quitWord();
}

}  // namespace shell
