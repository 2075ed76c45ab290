#include "shell/document_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/page_view.h"
#include "shell/prompts.h"
#include "shell/recent_files.h"

namespace shell {

namespace {

constexpr int kFirstRowColumns = 6;
constexpr int kFirstRowLength = 40;
const char* const kRefusedMark = "[Word 拒绝了部分设置]";

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QString fileNameOf(automation::Document& document) { return QFileInfo(fromUtf8(document.FullName())).fileName(); }

// A cell's text without Word's end-of-cell mark and paragraph marks.
QString cellText(automation::Table& table, int column) {
    try {
        QString text = fromUtf8(table.Cell(1, column)->Range()->Text());
        text.remove(QChar(7));
        text.replace(QChar('\r'), QChar(' '));
        return text.simplified();
    } catch (const automation::Error&) {
        return QString();  // merged away
    }
}

TableSummary summarise(automation::Table& table) {
    TableSummary summary;
    automation::RangePtr range = table.Range();
    summary.start = range->Start();
    summary.end = range->End();
    summary.rows = table.Rows()->Count();
    summary.columns = table.Columns()->Count();
    QStringList texts;
    for (int column = 1; column <= std::min(summary.columns, kFirstRowColumns); ++column)
        texts << cellText(table, column);
    summary.firstRow = texts.join(QStringLiteral(" | "));
    if (summary.firstRow.size() > kFirstRowLength)
        summary.firstRow = summary.firstRow.left(kFirstRowLength) + QChar(0x2026);
    // The same test the format run makes on its selection: no left and no top line.
    try {
        automation::BordersPtr borders = table.Borders();
        summary.borderless = borders->Item(automation::wdBorderLeft)->LineStyle() == automation::wdLineStyleNone &&
                             borders->Item(automation::wdBorderTop)->LineStyle() == automation::wdLineStyleNone;
    } catch (const automation::Error&) {}
    return summary;
}

// The refusal mark stands before the first row's text, which the panel's width often cuts off.
QString panelText(int number, const TableSummary& table, bool refused) {
    QString text = QStringLiteral("%1  %2×%3  ").arg(number).arg(table.rows).arg(table.columns);
    if (refused) text += QString::fromUtf8(kRefusedMark) + QStringLiteral("  ");
    text += table.firstRow;
    if (table.borderless) text += QStringLiteral("  无线条");
    return text;
}

}  // namespace

DocumentWindow::DocumentWindow(std::shared_ptr<automation::ooxml::WordApplication> word, QWidget* parent)
    : QMainWindow(parent),
      word_(std::move(word)),
      history_(*word_),
      renderer_(new PageRenderer(this)),
      pages_(new PageView(this)),
      panel_(new QListWidget(this)),
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
    connect(panel_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { selectTableNumber(panel_->row(item) + 1); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (updatingTabs_ || index < 0 || index >= static_cast<int>(tabIds_.size())) return;
        try {
            word_->activateDocument(tabIds_[static_cast<std::size_t>(index)]);
        } catch (const automation::Error&) {}
    });

    word_->setFileChooser([this]() -> std::optional<std::string> {
        const QString path = prompts().chooseOpenFile(this);
        if (path.isEmpty()) return std::nullopt;
        return toUtf8(path);
    });
    word_->setChangeListener([this] { changed(); });
    refresh();
}

DocumentWindow::~DocumentWindow() {
    word_->setChangeListener(nullptr);
    word_->setFileChooser(nullptr);
}

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
    undoAction_ = edit->addAction(QStringLiteral("撤销"), this, &DocumentWindow::undo);
    undoAction_->setObjectName(QStringLiteral("actionUndo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = edit->addAction(QStringLiteral("重做"), this, &DocumentWindow::redo);
    redoAction_->setObjectName(QStringLiteral("actionRedo"));
    redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

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
    if (!isVisible() && !ending_ && word_->running()) {
        try {
            if (word_->Visible()) show();
        } catch (const automation::Error&) {}
    }
    // Word calls this after every change, thousands of times in a run: show the result once the
    // window system gets its turn again.
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refresh(); });
}

void DocumentWindow::refresh() {
    refreshPending_ = false;
    if (ending_) return;
    if (!word_->running()) {
        // This Word has quit (from here or from a command): its window goes with it.
        ending_ = true;
        hide();
        emit wordEnded();
        deleteLater();
        return;
    }
    std::vector<std::uint64_t> ids;
    QStringList names;
    int active = -1;
    try {
        automation::DocumentsPtr documents = word_->Documents();
        const int count = documents->Count();
        const std::uint64_t activeId = count > 0 ? word_->documentId(*word_->ActiveDocument()) : 0;
        for (int i = 1; i <= count; ++i) {
            automation::DocumentPtr document = documents->Item(i);
            ids.push_back(word_->documentId(*document));
            names << fileNameOf(*document);
            if (ids.back() == activeId) active = i - 1;
            if (std::find(tabIds_.begin(), tabIds_.end(), ids.back()) == tabIds_.end())
                recent::add(fromUtf8(document->FullName()));
        }
    } catch (const automation::Error&) {}
    history_.keepOnly(ids);
    updateTabs(ids, names, active);

    if (ids.empty()) {
        shownId_ = 0;
        tables_.clear();
        panel_->clear();
        pages_->setNotice(QStringLiteral("没有打开的文档。请用“文件”菜单中的“打开…”打开一个 .docx 文件。"));
    } else {
        try {
            const std::uint64_t version = word_->contentVersion();
            if (ids[static_cast<std::size_t>(active)] != shownId_ || version != shownVersion_) {
                if (ids[static_cast<std::size_t>(active)] != shownId_) pages_->setTablePlaces({});
                shownId_ = ids[static_cast<std::size_t>(active)];
                shownVersion_ = version;
                readTables();
                renderDocument();
            }
            if (!commandRunning_ && word_->ActiveDocument()->Saved()) history_.markSaved();
        } catch (const automation::Error& error) {
            statusBar()->showMessage(fromUtf8(error.message()));
        }
    }
    showSelectedTable();
    updateTitleAndStatus();
    updateUndoActions();

    bool visible = false;
    try {
        visible = word_->Visible();
    } catch (const automation::Error&) {}
    if (visible && !isVisible()) show();
}

void DocumentWindow::updateTabs(const std::vector<std::uint64_t>& ids, const QStringList& names, int active) {
    updatingTabs_ = true;
    if (ids != tabIds_) {
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
    tables_.clear();
    panel_->clear();
    automation::TablesPtr tables = word_->ActiveDocument()->Tables();
    const int count = tables->Count();
    tables_.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        try {
            tables_.push_back(summarise(*tables->Item(i)));
        } catch (const automation::Error&) {
            tables_.emplace_back();
        }
        panel_->addItem(QString());
    }
    labelPanel();
}

// Each row of the panel as it reads now, with the marks of the last run if they belong to this document.
void DocumentWindow::labelPanel() {
    const bool marked = refusedId_ == shownId_;
    for (int row = 0; row < panel_->count() && row < static_cast<int>(tables_.size()); ++row) {
        const auto refusal = marked ? refused_.find(row + 1) : refused_.end();
        const bool refused = refusal != refused_.end();
        QListWidgetItem* item = panel_->item(row);
        item->setText(panelText(row + 1, tables_[static_cast<std::size_t>(row)], refused));
        item->setForeground(refused ? QBrush(QColor(0xB0, 0x30, 0x00)) : QBrush());
        item->setToolTip(refused ? QStringLiteral("Word 拒绝了部分设置：\n") + refusal->second.join(QChar('\n'))
                                 : QString());
    }
}

void DocumentWindow::showRefusals(const std::vector<commands::PassedOver>& passedOver, bool singleTable) {
    refused_.clear();
    refusedId_ = 0;
    try {
        if (word_->Documents()->Count() > 0) refusedId_ = word_->documentId(*word_->ActiveDocument());
    } catch (const automation::Error&) {}
    for (const commands::PassedOver& step : passedOver) {
        if (singleTable || step.table < 1) continue;
        QStringList& messages = refused_[step.table];
        const QString message = fromUtf8(step.message);
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
    try {
        word_->saveCopy(toUtf8(path));
    } catch (const automation::Error& error) {
        statusBar()->showMessage(fromUtf8(error.message()));
        return;
    }
    if (pages_->pageCount() == 0) pages_->setNotice(QString());
    renderer_->show(path);
}

void DocumentWindow::showSelectedTable() {
    int selected = 0;
    bool whole = false;
    try {
        if (!tables_.empty()) {
            automation::SelectionPtr selection = word_->Selection();
            const int start = selection->Start();
            const int end = selection->End();
            const auto it = std::find_if(tables_.begin(), tables_.end(),
                                         [start](const TableSummary& t) { return t.start <= start && start < t.end; });
            if (it != tables_.end()) {
                selected = static_cast<int>(it - tables_.begin()) + 1;
                whole = start == it->start && end == it->end;
            }
        }
    } catch (const automation::Error&) {}
    pages_->setSelectedTable(selected);
    const QSignalBlocker blocker(panel_);
    panel_->setCurrentRow(selected - 1);
    QString status;
    if (selected > 0) status = whole ? QStringLiteral("已选定整个表格") : QStringLiteral("插入点在表格中");
    statusBar()->setProperty("selection", status);
}

void DocumentWindow::updateTitleAndStatus() {
    QString name;
    QString status;
    try {
        if (word_->Documents()->Count() > 0) {
            automation::DocumentPtr document = word_->ActiveDocument();
            name = fileNameOf(*document);
            if (!document->Saved()) status = QStringLiteral("有未保存的更改");
        }
    } catch (const automation::Error&) {}
    const QString selection = statusBar()->property("selection").toString();
    if (!selection.isEmpty()) status += (status.isEmpty() ? QString() : QStringLiteral("    ")) + selection;
    const QString word = QStringLiteral("内置 Word");
    setWindowTitle(name.isEmpty() ? word : name + QStringLiteral(" - ") + word);
    statusBar()->showMessage(status);
    const bool hasDocument = !name.isEmpty();
    saveAction_->setEnabled(hasDocument);
    saveAsAction_->setEnabled(hasDocument);
}

void DocumentWindow::updateUndoActions() {
    const QString undoName = history_.undoName();
    const QString redoName = history_.redoName();
    undoAction_->setText(undoName.isEmpty() ? QStringLiteral("撤销") : QStringLiteral("撤销 ") + undoName);
    redoAction_->setText(redoName.isEmpty() ? QStringLiteral("重做") : QStringLiteral("重做 ") + redoName);
    undoAction_->setEnabled(!commandRunning_ && history_.canUndo());
    redoAction_->setEnabled(!commandRunning_ && history_.canRedo());
}

void DocumentWindow::commandStarted(const QString& name) {
    forgetRefusals();
    history_.begin(name);
    commandRunning_ = true;
    updateUndoActions();
}

void DocumentWindow::commandEnded() {
    commandRunning_ = false;
    history_.end();
    refresh();
}

void DocumentWindow::undo() { moveInHistory(&UndoHistory::undo); }

void DocumentWindow::redo() { moveInHistory(&UndoHistory::redo); }

void DocumentWindow::moveInHistory(void (UndoHistory::*move)()) {
    if (commandRunning_) return;
    forgetRefusals();
    try {
        (history_.*move)();
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
    }
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
    try {
        word_->Dialogs()->Item(automation::wdDialogFileOpen)->Show();
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
    }
}

bool DocumentWindow::openPath(const QString& path) {
    try {
        word_->Documents()->Open(toUtf8(path));
        return true;
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
}

bool DocumentWindow::saveDocument() {
    try {
        if (word_->Documents()->Count() < 1) return false;
        word_->ActiveDocument()->Save();
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
    refresh();
    return true;
}

bool DocumentWindow::saveDocumentAs() {
    try {
        if (word_->Documents()->Count() < 1) return false;
        automation::DocumentPtr document = word_->ActiveDocument();
        QString path = prompts().chooseSaveFile(this, fromUtf8(document->FullName()));
        if (path.isEmpty()) return false;
        if (!path.endsWith(QStringLiteral(".docx"), Qt::CaseInsensitive)) path += QStringLiteral(".docx");
        document->SaveAs(toUtf8(path));
        recent::add(path);
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
    refresh();
    return true;
}

// Closes the active document after asking about unsaved changes; false when it stays open.
bool DocumentWindow::closeActive() {
    try {
        automation::DocumentPtr document = word_->ActiveDocument();
        if (!document->Saved()) {
            switch (prompts().askSave(this, fileNameOf(*document))) {
                case SaveAnswer::Cancel: return false;
                case SaveAnswer::Save:
                    if (!saveDocument()) return false;
                    break;
                case SaveAnswer::Discard: break;
            }
        }
        document->Close(automation::wdDoNotSaveChanges);
        return true;
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
}

void DocumentWindow::quitWord() {
    try {
        word_->Quit();
    } catch (const automation::Error&) {
        // Already gone.
    }
    refresh();
}

bool DocumentWindow::closeDocument() {
    try {
        if (word_->Documents()->Count() > 0 && !closeActive()) return false;
        if (word_->Documents()->Count() == 0) quitWord();
    } catch (const automation::Error&) {
        quitWord();
    }
    return true;
}

void DocumentWindow::clickAt(const QPoint& documentTwips) {
    if (const int table = pages_->tableAt(documentTwips)) return selectTableNumber(table);
    // Outside every table: an insertion point after the last table above the click.
    int above = 0;
    for (const TablePlace& place : pages_->tablePlaces())
        if (place.rect.bottom() < documentTwips.y()) above = std::max(above, place.table);
    const int position =
        above > 0 && above <= static_cast<int>(tables_.size()) ? tables_[static_cast<std::size_t>(above - 1)].end : 0;
    try {
        word_->ActiveDocument()->Range(position, position)->Select();
    } catch (const automation::Error&) {
        // The document changed under the click; the next refresh shows it as it is now.
    }
}

void DocumentWindow::selectTableNumber(int table) {
    try {
        word_->ActiveDocument()->Tables()->Item(table)->Select();
        pages_->scrollToTable(table);
    } catch (const automation::Error&) {
        // The pages show an older version in which that table still existed.
    }
}

void DocumentWindow::selectTable() {
    try {
        automation::TablesPtr tables = word_->Selection()->Tables();
        if (tables->Count() > 0) tables->Item(1)->Select();
    } catch (const automation::Error&) {
        // No document, or the insertion point is not in a table: the selection stays as it is.
    }
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // Every open document first, each with its question; a cancel keeps Word and its window.
    try {
        while (word_->running() && word_->Documents()->Count() > 0) {
            if (!closeActive()) {
                event->ignore();
                return;
            }
        }
    } catch (const automation::Error&) {}
    event->ignore();  // refresh() hides and deletes the window once Word has quit
    quitWord();
}

}  // namespace shell
