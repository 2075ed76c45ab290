#include "shell/document_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextTable>
#include <QTimer>

#include "shell/document_html.h"
#include "shell/prompts.h"

namespace shell {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QString fileNameOf(automation::Document& document) { return QFileInfo(fromUtf8(document.FullName())).fileName(); }

// The first anchor of a block that documentHtml put there.
int blockPosition(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        for (const QString& name : it.fragment().charFormat().anchorNames()) {
            if (const auto position = anchorPosition(name)) return *position;
        }
    }
    return -1;
}

}  // namespace

DocumentView::DocumentView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("DocumentView"));
    setOpenLinks(false);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(620);  // about the text width of an A4 page
    setStyleSheet(QStringLiteral("QTextBrowser { background: white; }"));
}

int DocumentView::positionAt(const QPoint& viewportPoint) const {
    QTextCursor cursor = cursorForPosition(viewportPoint);
    if (cursor.isNull()) return -1;
    int position = blockPosition(cursor.block());
    if (position >= 0) return position;
    // Inside a table cell: the cell's first paragraph carries the anchor.
    if (QTextTable* table = cursor.currentTable()) {
        const QTextTableCell cell = table->cellAt(cursor);
        if (cell.isValid()) position = blockPosition(cell.firstCursorPosition().block());
    }
    return position;
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
    QTextBrowser::mousePressEvent(event);
    const int position = positionAt(event->position().toPoint());
    if (position >= 0) emit clicked(position);
}

void DocumentView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTextBrowser::mouseDoubleClickEvent(event);
    const int position = positionAt(event->position().toPoint());
    if (position >= 0) emit doubleClicked(position);
}

DocumentWindow::DocumentWindow(std::shared_ptr<automation::ooxml::WordApplication> word, QWidget* parent)
    : QMainWindow(parent), word_(std::move(word)), view_(new DocumentView(this)) {
    setObjectName(QStringLiteral("WordWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setCentralWidget(view_);
    resize(760, 820);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* open = file->addAction(QStringLiteral("打开(&O)…"), this, &DocumentWindow::openFile);
    open->setObjectName(QStringLiteral("actionOpen"));
    open->setShortcut(QKeySequence::Open);
    saveAction_ = file->addAction(QStringLiteral("保存(&S)"), this, &DocumentWindow::saveDocument);
    saveAction_->setObjectName(QStringLiteral("actionSave"));
    saveAction_->setShortcut(QKeySequence::Save);
    saveAsAction_ = file->addAction(QStringLiteral("另存为(&A)…"), this, &DocumentWindow::saveDocumentAs);
    saveAsAction_->setObjectName(QStringLiteral("actionSaveAs"));
    file->addSeparator();
    closeAction_ = file->addAction(QStringLiteral("关闭(&C)"), this, &DocumentWindow::closeDocument);
    closeAction_->setObjectName(QStringLiteral("actionClose"));

    connect(view_, &DocumentView::clicked, this, &DocumentWindow::selectPosition);
    connect(view_, &DocumentView::doubleClicked, this, [this](int position) { selectTable(position); });
    QMenu* tableMenu = menuBar()->addMenu(QStringLiteral("表格(&T)"));
    tableMenu->addAction(QStringLiteral("选定表格(&S)"), this, [this] { selectTable(); });

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

void DocumentWindow::changed() {
    // Word made visible appears at once, before whatever the program shows next.
    if (!isVisible() && !ending_ && word_->running()) {
        try {
            if (word_->Visible()) show();
        } catch (const automation::Error&) {
        }
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
    QString name;
    QString html;
    QString status;
    bool hasDocument = false;
    try {
        hasDocument = word_->Documents()->Count() > 0;
        if (hasDocument) {
            automation::DocumentPtr document = word_->ActiveDocument();
            name = fileNameOf(*document);
            html = documentHtml(*document, [this](int start, int end) {
                try {
                    return word_->tableLayout(start, end);
                } catch (const automation::Error&) {
                    return std::optional<automation::ooxml::TableLayout>();
                }
            });
            status = document->Saved() ? QString() : QStringLiteral("有未保存的更改");
            try {
                automation::SelectionPtr selection = word_->Selection();
                automation::TablesPtr tables = selection->Tables();
                if (tables->Count() > 0) {
                    automation::RangePtr table = tables->Item(1)->Range();
                    const bool whole = selection->Start() == table->Start() && selection->End() == table->End();
                    status += status.isEmpty() ? QString() : QStringLiteral("    ");
                    status += whole ? QStringLiteral("已选定整个表格") : QStringLiteral("插入点在表格中");
                }
            } catch (const automation::Error&) {
            }
        }
    } catch (const automation::Error& error) {
        html = QStringLiteral("<p>%1</p>").arg(fromUtf8(error.message()).toHtmlEscaped());
    }
    const int scroll = view_->verticalScrollBar()->value();
    if (hasDocument) {
        view_->setHtml(html);
    } else {
        view_->setHtml(QStringLiteral("<p style=\"color:gray\">没有打开的文档。请用“文件”菜单中的“打开…”打开一个"
                                      " .docx 文件。</p>"));
    }
    view_->verticalScrollBar()->setValue(scroll);
    saveAction_->setEnabled(hasDocument);
    saveAsAction_->setEnabled(hasDocument);
    updateTitle(name);
    statusBar()->showMessage(status);

    bool visible = false;
    try {
        visible = word_->Visible();
    } catch (const automation::Error&) {
    }
    if (visible && !isVisible()) show();
}

void DocumentWindow::updateTitle(const QString& documentName) {
    const QString word = QStringLiteral("内置 Word");
    setWindowTitle(documentName.isEmpty() ? word : documentName + QStringLiteral(" - ") + word);
}

void DocumentWindow::openFile() {
    try {
        word_->Dialogs()->Item(automation::wdDialogFileOpen)->Show();
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
    }
}

bool DocumentWindow::saveDocument() {
    try {
        if (word_->Documents()->Count() < 1) return false;
        word_->ActiveDocument()->Save();
        return true;
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
}

bool DocumentWindow::saveDocumentAs() {
    try {
        if (word_->Documents()->Count() < 1) return false;
        automation::DocumentPtr document = word_->ActiveDocument();
        QString path = prompts().chooseSaveFile(this, fromUtf8(document->FullName()));
        if (path.isEmpty()) return false;
        if (!path.endsWith(QStringLiteral(".docx"), Qt::CaseInsensitive)) path += QStringLiteral(".docx");
        document->SaveAs(toUtf8(path));
        return true;
    } catch (const automation::Error& error) {
        prompts().message(this, fromUtf8(error.message()));
        return false;
    }
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

void DocumentWindow::selectPosition(int position) {
    try {
        word_->ActiveDocument()->Range(position, position)->Select();
    } catch (const automation::Error&) {
        // The document changed under the click; the next refresh shows it as it is now.
    }
}

void DocumentWindow::selectTable(int position) {
    try {
        if (position >= 0) word_->ActiveDocument()->Range(position, position)->Select();
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
    } catch (const automation::Error&) {
    }
    event->ignore();  // refresh() hides and deletes the window once Word has quit
    quitWord();
}

}  // namespace shell
