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
#include <QPainter>
#include <QPrinter>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include "shell/document_pages.h"
#include "shell/document_undo.h"
#include "shell/page_renderer.h"
#include "shell/page_view.h"
#include "shell/panel_settings.h"
#include "shell/recent_files.h"
#include "shell/utf8.h"
#include "shell/word_calls.h"

namespace shell {

namespace {

constexpr int kGiveBackCheckMs = 30'000;
// Printing draws pages at the printer's resolution, up to this (a page picture travels whole).
constexpr int kMaxPrintDpi = 600;
constexpr int kMaxPicture = 8000;

QString fileNameOf(automation::Document& document) { return QFileInfo(qs(document.FullName())).fileName(); }

}  // namespace

DocumentWindow::DocumentWindow(std::shared_ptr<automation::Application> word,
                               std::shared_ptr<automation::HostedDocuments> documents, QWidget* parent)
    : QMainWindow(parent),
      word_(std::move(word)),
      documents_(std::move(documents)),
      undo_(new DocumentUndo(*documents_, inMessageBox_, this)),
      stack_(new QStackedWidget(this)),
      emptyView_(new PageView(stack_)),
      tableList_(new TableListModel(this)),
      panel_(new QListView(this)),
      tabs_(new QTabBar(this)),
      stateLabel_(new QLabel(this)),
      progressLabel_(new QLabel(this)),
      pageLabel_(new QLabel(this)),
      zoomLabel_(new QLabel(this)),
      giveBackTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("WordWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(860, 640);

    tabs_->setObjectName(QStringLiteral("DocumentTabs"));
    tabs_->setDocumentMode(true);
    tabs_->setExpanding(false);
    panel_->setObjectName(QStringLiteral("TablePanel"));
    panel_->setModel(tableList_);
    panel_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    panel_->setUniformItemSizes(true);
    panel_->setToolTip(QStringLiteral("文档中的表格：序号、行×列、首行文字。单击选定表格。"));
    panel_->setMinimumWidth(80);
    stack_->addWidget(emptyView_);
    connect(emptyView_, &PageView::zoomChanged, this, &DocumentWindow::showPosition);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(panel_);
    splitter->addWidget(stack_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    // What the status bar always shows; passing notes go over the left of it.
    stateLabel_->setObjectName(QStringLiteral("DocumentState"));
    // Long texts are cut rather than widen the window past a small screen.
    for (QLabel* label : {stateLabel_, progressLabel_})
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addPermanentWidget(stateLabel_, 1);
    statusBar()->addPermanentWidget(progressLabel_, 1);
    statusBar()->addPermanentWidget(pageLabel_);
    statusBar()->addPermanentWidget(zoomLabel_);
    buildMenus();

    connect(panel_, &QListView::clicked, this,
            [this](const QModelIndex& index) { selectTableNumber(index.row() + 1); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (updatingTabs_ || index < 0 || index >= static_cast<int>(tabIds_.size())) return;
        callWord(inStatusBar_, [&] { documents_->activateDocument(tabIds_[static_cast<std::size_t>(index)]); });
    });
    // Notes of a run describe that run, not the state an undo or a redo goes back to.
    connect(undo_, &DocumentUndo::moved, this, &DocumentWindow::forgetNotes);
    connect(undo_->group(), &QUndoGroup::indexChanged, this, &DocumentWindow::refresh);
    giveBackTimer_->setInterval(kGiveBackCheckMs);
    connect(giveBackTimer_, &QTimer::timeout, this, &DocumentWindow::giveBackRenderers);
    giveBackTimer_->start();

    documents_->setFileChooser([this]() -> std::optional<std::string> {
        const QString path = prompts().chooseOpenFile(this, FileKind::Document);
        if (path.isEmpty()) return std::nullopt;
        return utf8(path);
    });
    documents_->setChangeListener([this] { changed(); });
    refresh();
}

DocumentWindow::~DocumentWindow() {
    documents_->setChangeListener(nullptr);
    documents_->setFileChooser(nullptr);
    // Before the widgets that hold their views.
    for (const auto& [id, pages] : pages_) delete pages;
    pages_.clear();
}

QUndoGroup* DocumentWindow::undoGroup() const { return undo_->group(); }

DocumentPages* DocumentWindow::pagesOf(std::uint64_t id) const {
    const auto it = pages_.find(id);
    return it == pages_.end() ? nullptr : it->second;
}

DocumentPages* DocumentWindow::activePages() const { return pagesOf(documents_->activeDocumentId()); }

PageView* DocumentWindow::pageView() const {
    DocumentPages* active = activePages();
    return active ? active->view() : emptyView_;
}

PageRenderer* DocumentWindow::renderer() const {
    DocumentPages* active = activePages();
    return active ? active->renderer() : nullptr;
}

QString DocumentWindow::stateText() const { return stateLabel_->text(); }

void DocumentWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* open = file->addAction(QStringLiteral("打开(&O)…"), QKeySequence::Open, this, &DocumentWindow::openFile);
    open->setObjectName(QStringLiteral("actionOpen"));
    recentMenu_ = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &DocumentWindow::fillRecentMenu);
    QAction* save =
        file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, &DocumentWindow::saveDocument);
    save->setObjectName(QStringLiteral("actionSave"));
    QAction* saveAs = file->addAction(QStringLiteral("另存为(&A)…"), this, &DocumentWindow::saveDocumentAs);
    saveAs->setObjectName(QStringLiteral("actionSaveAs"));
    file->addSeparator();
    QAction* print =
        file->addAction(QStringLiteral("打印(&P)…"), QKeySequence::Print, this, &DocumentWindow::printDocument);
    print->setObjectName(QStringLiteral("actionPrint"));
    QAction* pdf = file->addAction(QStringLiteral("导出为 PDF(&E)…"), this, &DocumentWindow::exportPdf);
    pdf->setObjectName(QStringLiteral("actionExportPdf"));
    file->addSeparator();
    file->addAction(QStringLiteral("载入排版设置(&L)…"), this, &DocumentWindow::loadSettingsRequested)
        ->setObjectName(QStringLiteral("actionLoadSettings"));
    file->addAction(QStringLiteral("保存排版设置(&T)…"), this, &DocumentWindow::saveSettingsRequested)
        ->setObjectName(QStringLiteral("actionSaveSettings"));
    QAction* startWithLast = file->addAction(QStringLiteral("启动时使用上次的排版设置"));
    startWithLast->setObjectName(QStringLiteral("actionStartWithLastSettings"));
    startWithLast->setCheckable(true);
    startWithLast->setChecked(PanelSettings::startsWithLast());
    connect(startWithLast, &QAction::toggled, this, [](bool on) { PanelSettings::setStartsWithLast(on); });
    file->addSeparator();
    QAction* close =
        file->addAction(QStringLiteral("关闭(&C)"), QKeySequence::Close, this, &DocumentWindow::closeDocument);
    close->setObjectName(QStringLiteral("actionClose"));
    file->addAction(QStringLiteral("退出(&X)"), QKeySequence::Quit, this, &QWidget::close)
        ->setObjectName(QStringLiteral("actionQuit"));
    documentActions_ = {save, saveAs, print, pdf, close};

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
    view->addAction(QStringLiteral("适合宽度(&W)"), this, [this] { pageView()->setFitWidth(); })
        ->setObjectName(QStringLiteral("actionFitWidth"));
    view->addAction(QStringLiteral("100%(&1)"), this, [this] { pageView()->setZoomPercent(100); })
        ->setObjectName(QStringLiteral("actionActualSize"));
    view->addAction(QStringLiteral("放大(&I)"), QKeySequence::ZoomIn, this,
                    [this] { pageView()->setZoomPercent(pageView()->zoomPercent() + 10); });
    view->addAction(QStringLiteral("缩小(&O)"), QKeySequence::ZoomOut, this,
                    [this] { pageView()->setZoomPercent(pageView()->zoomPercent() - 10); });

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
    if (!isVisible() && !ending_ && documents_->running()) {
        callWord(inStatusBar_, [&] {
            if (word_->Visible()) show();
        });
    }
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

DocumentPages* DocumentWindow::addPages(std::uint64_t id) {
    auto* pages = new DocumentPages(id, renderFolder_.path(), stack_);
    pages->setParent(this);
    pages_.emplace(id, pages);
    stack_->addWidget(pages->view());
    PageView* view = pages->view();
    PageRenderer* renderer = pages->renderer();
    const auto current = [this, id] { return documents_->activeDocumentId() == id; };
    connect(view, &PageView::clicked, this, &DocumentWindow::clickAt);
    connect(view, &PageView::doubleClicked, this, &DocumentWindow::clickAt);
    connect(view, &PageView::contextMenuWanted, this, [this, view](const QPoint& point, const QPoint& global) {
        if (const int table = view->tableAt(point)) selectTableNumber(table);
        QMenu menu(this);
        menu.addAction(QStringLiteral("选定表格"), this, &DocumentWindow::selectTable);
        menu.addAction(QStringLiteral("只排版所选表格"), this, &DocumentWindow::singleTableModeRequested);
        menu.exec(global);
    });
    connect(view, &PageView::zoomChanged, this, [this, current] {
        if (current()) showPosition();
    });
    connect(view, &PageView::currentPageChanged, this, [this, current] {
        if (current()) showPosition();
    });
    connect(renderer, &PageRenderer::pagesReady, this, [this, current] {
        if (current()) showPosition();
    });
    connect(renderer, &PageRenderer::tablesReady, this, [this, current] {
        if (current()) showSelectedTable();
    });
    connect(renderer, &PageRenderer::unavailable, this, [this, current](const QString& message) {
        if (current()) statusBar()->showMessage(message);
    });
    connect(renderer, &PageRenderer::progress, this, [this, current](const QString& text) {
        if (current()) progressLabel_->setText(text);
    });
    return pages;
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
            QString name = fileNameOf(*document);
            if (!document->Saved()) name += QStringLiteral(" *");
            names << name;
            const std::uint64_t id = i <= static_cast<int>(ids.size()) ? ids[static_cast<std::size_t>(i - 1)] : 0;
            if (!pagesOf(id)) recent::add(qs(document->FullName()));
        }
    });
    undo_->follow(ids, activeId);
    for (auto it = pages_.begin(); it != pages_.end();) {
        if (std::find(ids.begin(), ids.end(), it->first) != ids.end()) {
            ++it;
            continue;
        }
        notes_.erase(it->first);
        delete it->second;
        it = pages_.erase(it);
    }
    for (std::uint64_t id : ids)
        if (!pagesOf(id)) addPages(id);
    const auto active = std::find(ids.begin(), ids.end(), activeId);
    updateTabs(ids, names, active == ids.end() ? -1 : static_cast<int>(active - ids.begin()));
    showActive(pagesOf(activeId));
    showSelectedTable();
    updateTitleAndStatus();

    bool visible = false;
    callWord(inStatusBar_, [&] { visible = word_->Visible(); });
    if (visible && !isVisible()) show();
}

// The active document's own pages, drawn again when its content changed, and its table list.
void DocumentWindow::showActive(DocumentPages* active) {
    for (const auto& [id, pages] : pages_) pages->setShown(pages == active);
    stack_->setCurrentWidget(active ? active->view() : emptyView_);
    if (!active) {
        listedId_ = 0;
        tableList_->setTables({});
        tableList_->setNotes({});
        progressLabel_->clear();
        emptyView_->setNotice(
            QStringLiteral("没有打开的文档。请用“文件”菜单中的“打开…”或“最近打开的文件”打开一个 .docx 文件。"));
        showPosition();
        return;
    }
    callWord(inStatusBar_, [&] {
        const std::uint64_t version = documents_->contentVersion();
        if (active->tablesVersion != version) readTables(*active, version);
        if (active->drawnVersion() != version) active->draw(*documents_, version);
        undo_->noteSaved(word_->ActiveDocument()->Saved());
    });
    if (listedId_ != active->id() || listedVersion_ != active->tablesVersion) {
        listedId_ = active->id();
        listedVersion_ = active->tablesVersion;
        tableList_->setTables(active->tables);
    }
    const std::map<int, TableNote>& notes = notes_[active->id()];
    if (tableList_->notes() != notes) tableList_->setNotes(notes);
    if (!active->renderer()->loading()) progressLabel_->clear();
    giveBackRenderers();
    showPosition();
}

void DocumentWindow::giveBackRenderers() {
    std::vector<std::pair<qint64, DocumentPages*>> running;  // (hidden for, pages)
    for (const auto& [id, pages] : pages_)
        if (!pages->shown() && pages->renderer()->running()) running.emplace_back(pages->hiddenMs(), pages);
    std::sort(running.begin(), running.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    // The one shown keeps its renderer, and the others most recently shown as many as are left.
    const int keep = kLiveRenderers - 1;
    for (std::size_t i = 0; i < running.size(); ++i) {
        const bool beyondCount = static_cast<int>(running.size() - i) > keep;
        if (beyondCount || running[i].first > kGiveBackMs) running[i].second->renderer()->stop();
    }
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

void DocumentWindow::readTables(DocumentPages& pages, std::uint64_t version) {
    std::vector<TableSummary> summaries;
    automation::TablesPtr tables = word_->ActiveDocument()->Tables();
    const int count = tables->Count();
    summaries.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        // A table Word cannot describe keeps its line, with its number alone.
        if (!callWord(inStatusBar_, [&] { summaries.push_back(summariseTable(*tables->Item(i))); }))
            summaries.emplace_back();
    }
    pages.tables = std::move(summaries);
    pages.tablesVersion = version;
}

void DocumentWindow::showRefusals(const std::vector<commands::PassedOver>& passedOver, bool singleTable) {
    const std::uint64_t id = documents_->activeDocumentId();
    if (id == 0) return;
    notes_[id] = singleTable ? std::map<int, TableNote>() : runNotes(passedOver);
    if (activePages() && listedId_ == id) tableList_->setNotes(notes_[id]);
}

void DocumentWindow::forgetNotes() {
    const auto it = notes_.find(documents_->activeDocumentId());
    if (it == notes_.end() || it->second.empty()) return;
    it->second.clear();
    tableList_->setNotes({});
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
    pageView()->setSelectedTable(selected);
    const QSignalBlocker blocker(panel_);
    panel_->setCurrentIndex(tableList_->index(selected - 1));
    QString status;
    if (selected > 0) status = whole ? QStringLiteral("已选定整个表格") : QStringLiteral("插入点在表格中");
    statusBar()->setProperty("selection", status);
}

void DocumentWindow::updateTitleAndStatus() {
    QString name;
    bool modified = false;
    if (documents_->activeDocumentId() != 0) {
        callWord(inStatusBar_, [&] {
            automation::DocumentPtr document = word_->ActiveDocument();
            name = fileNameOf(*document);
            modified = !document->Saved();
        });
    }
    QStringList state;
    if (modified) state << QStringLiteral("有未保存的更改");
    const QString selection = statusBar()->property("selection").toString();
    if (!selection.isEmpty()) state << selection;
    stateLabel_->setText(state.join(QStringLiteral("    ")));
    const QString word = QStringLiteral("内置 Word");
    // Qt's modified mark: "[*]" shows as "*" while the document has unsaved changes.
    setWindowTitle(name.isEmpty() ? word : name + QStringLiteral("[*] - ") + word);
    setWindowModified(modified);
    for (QAction* action : std::as_const(documentActions_)) action->setEnabled(!name.isEmpty());
}

void DocumentWindow::showPosition() {
    const PageView* view = pageView();
    zoomLabel_->setText(view->pageCount() > 0 ? QStringLiteral("%1%").arg(view->zoomPercent()) : QString());
    if (view->pageCount() == 0) {
        pageLabel_->clear();
    } else if (!view->pagesComplete()) {
        pageLabel_->setText(QStringLiteral("第 %1 页，页数统计中…").arg(view->currentPage() + 1));
    } else {
        pageLabel_->setText(QStringLiteral("第 %1 页，共 %2 页").arg(view->currentPage() + 1).arg(view->pageCount()));
    }
}

void DocumentWindow::commandStarted(const QString& name) {
    forgetNotes();
    commandName_ = name;
    commandInTable_ = false;
    if (documents_->activeDocumentId() != 0)
        callWord(inStatusBar_, [&] { commandInTable_ = word_->Selection()->Tables()->Count() > 0; });
    undo_->begin(name);
}

void DocumentWindow::commandEnded() {
    const bool changed = undo_->end();
    refresh();
    if (changed || documents_->activeDocumentId() == 0) return;
    // A command that changed nothing says so: otherwise the user cannot tell it from one that did not run.
    QString text = QStringLiteral("“%1”没有改动文档。").arg(commandName_);
    if (commandName_ == QStringLiteral("排版所选表格") && !commandInTable_)
        text = QStringLiteral("“排版所选表格”没有改动文档：插入点不在表格中，请先单击要排版的表格。");
    statusBar()->showMessage(text);
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
        inMessageBox_(
            QStringLiteral("找不到文件“%1”，已将它从最近打开的文件中删除。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    openPath(path);
}

void DocumentWindow::fillWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(QStringLiteral("排版面板(&P)"), this, &DocumentWindow::panelRequested)
        ->setObjectName(QStringLiteral("actionPanel"));
    windowMenu_->addSeparator();
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
        QString path = prompts().chooseSaveFile(this, FileKind::Document, qs(document->FullName()));
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
    if (documents_->activeDocumentId() == 0) return true;
    const bool closed = closeActive();
    refresh();
    return closed;
}

QString DocumentWindow::jobCopy() {
    if (!renderFolder_.isValid() || documents_->activeDocumentId() == 0) return QString();
    const QString path = renderFolder_.filePath(QStringLiteral("job-%1.docx").arg(++jobs_));
    if (!callWord(inMessageBox_, [&] { documents_->saveCopy(utf8(path)); })) return QString();
    return path;
}

void DocumentWindow::exportPdf() {
    QString suggestion;
    callWord(inStatusBar_, [&] { suggestion = qs(word_->ActiveDocument()->FullName()); });
    if (suggestion.isEmpty()) return;
    suggestion =
        QFileInfo(suggestion).dir().filePath(QFileInfo(suggestion).completeBaseName() + QStringLiteral(".pdf"));
    QString target = prompts().chooseSaveFile(this, FileKind::Pdf, suggestion);
    if (target.isEmpty()) return;
    if (!target.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) target += QStringLiteral(".pdf");
    const QString copy = jobCopy();
    if (copy.isEmpty()) return;
    // A renderer of its own: the pages on show go on being drawn meanwhile.
    auto* job = new PageRenderer(this);
    connect(job, &PageRenderer::pdfSaved, this, [this, job, copy, target](const QString& error) {
        job->deleteLater();
        QFile::remove(copy);
        statusBar()->showMessage(
            error.isEmpty() ? QStringLiteral("已导出 PDF：%1").arg(QDir::toNativeSeparators(target)) : error);
        if (!error.isEmpty()) inMessageBox_(error);
        emit pdfExported(target, error);
    });
    statusBar()->showMessage(QStringLiteral("正在导出 PDF…"));
    job->exportPdf(copy, target);
}

void DocumentWindow::printDocument() {
    if (documents_->activeDocumentId() == 0) return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setFullPage(true);
    callWord(inStatusBar_, [&] { printer->setDocName(fileNameOf(*word_->ActiveDocument())); });
    if (!prompts().setUpPrinter(this, *printer)) return;
    const QString copy = jobCopy();
    if (copy.isEmpty()) return;
    auto* job = new PageRenderer(this);
    job->setFindsTables(false);  // drawn as the document is, without the marks that find the tables
    printPages(printer, job, copy);
}

// The pages the printer asked for, one picture after the other, each painted on a sheet as it comes.
void DocumentWindow::printPages(const std::shared_ptr<QPrinter>& printer, PageRenderer* job, const QString& copy) {
    struct Progress {
        QPainter painter;
        int first = 0;
        int next = 0;
        int last = -1;
    };
    auto progress = std::make_shared<Progress>();
    const auto finish = [this, job, copy, progress](const QString& error) {
        if (progress->painter.isActive()) progress->painter.end();
        job->disconnect(this);
        job->deleteLater();
        QFile::remove(copy);
        statusBar()->showMessage(error.isEmpty() ? QStringLiteral("已送往打印机。") : error);
        emit printed(error);
    };
    const int dpi = std::min(printer->resolution(), kMaxPrintDpi);
    connect(job, &PageRenderer::unavailable, this, [finish](const QString& message) { finish(message); });
    connect(job, &PageRenderer::pagesReady, this,
            [this, printer, job, progress, dpi, finish](const QVector<QRect>& pages, bool complete) {
                if (!complete) return;
                const int count = static_cast<int>(pages.size());
                progress->first = printer->fromPage() > 0 ? printer->fromPage() - 1 : 0;
                progress->last = printer->toPage() > 0 ? std::min(printer->toPage(), count) - 1 : count - 1;
                progress->next = progress->first;
                if (progress->first > progress->last) return finish(QStringLiteral("没有要打印的页。"));
                if (!progress->painter.begin(printer.get())) return finish(QStringLiteral("无法开始打印。"));
                statusBar()->showMessage(QStringLiteral("正在打印…"));
                for (int page = progress->first; page <= progress->last; ++page)
                    job->requestPage(page, std::min(kMaxPicture, pages.at(page).width() * dpi / 1440));
            });
    connect(job, &PageRenderer::pageReady, this, [printer, progress, finish](int page, const QImage& image) {
        if (page != progress->next || !progress->painter.isActive()) return;
        if (page != progress->first) printer->newPage();
        const QRect sheet = progress->painter.viewport();
        progress->painter.drawImage(QRect(sheet.topLeft(), image.size().scaled(sheet.size(), Qt::KeepAspectRatio)),
                                    image);
        if (++progress->next > progress->last) finish(QString());
    });
    job->show(copy);
}

void DocumentWindow::clickAt(const QPoint& documentTwips) {
    const PageView* view = pageView();
    if (const int table = view->tableAt(documentTwips)) return selectTableNumber(table);
    // Outside every table: an insertion point after the last table above the click.
    int above = 0;
    for (const TablePlace& place : view->tablePlaces())
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
        pageView()->scrollToTable(table);
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
