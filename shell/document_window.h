// The embedded Word's own window: what Word's window is to a Word user. It shows the active
// document, follows every change, puts Word's selection where the user clicks, and has the file
// commands 打开…, 保存, 另存为… and 关闭. Closing the window quits this Word.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>

#include <memory>

#include "automation/ooxml/application.h"

class QAction;

namespace shell {

// The page of the document window; a click reports the Word position of the paragraph or table
// cell under the mouse.
class DocumentView : public QTextBrowser {
    Q_OBJECT
public:
    explicit DocumentView(QWidget* parent = nullptr);

    // The Word position of the paragraph or cell at this point of the viewport; -1 outside any.
    int positionAt(const QPoint& viewportPoint) const;

signals:
    void clicked(int position);
    void doubleClicked(int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(std::shared_ptr<automation::ooxml::WordApplication> word, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    DocumentView* view() const { return view_; }
    // Reads the active document again and shows it (done by itself after every change).
    void refresh();

public slots:
    // 打开…: Word's Open dialog; an unreadable file leaves the open documents as they were.
    void openFile();
    // 保存 / 另存为…: false when nothing was saved.
    bool saveDocument();
    bool saveDocumentAs();
    // 关闭: closes the active document, asking first when it has unsaved changes. Closing the last
    // document quits this Word. False when the user cancelled.
    bool closeDocument();
    // Puts Word's selection (an insertion point) at this position of the active document.
    void selectPosition(int position);
    // 表格 > 选定表格, or a double-click in a table: selects the whole table that holds the insertion
    // point (at position, when one is given), as the single-table window expects.
    void selectTable(int position = -1);

signals:
    // This Word has quit; the window is about to go away.
    void wordEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void changed();
    bool closeActive();
    void quitWord();
    void updateTitle(const QString& documentName);

    std::shared_ptr<automation::ooxml::WordApplication> word_;
    DocumentView* view_;
    QAction* saveAction_;
    QAction* saveAsAction_;
    QAction* closeAction_;
    bool refreshPending_ = false;
    bool ending_ = false;
};

}  // namespace shell
