// The program as a whole: the embedded Word with its document window, the main window, and the rule
// for when the process ends.
//
// Ending Gridwright (closing the main window, "退出程序", closing the single-table window, or Word
// going away) closes Gridwright's windows; the Word and its documents stay. The process lasts until
// the document window, which is that Word's own window, is closed too.
#pragma once

#include <QObject>
#include <QPointer>

#include "backend/word_start.h"

namespace shell {

class DocumentWindow;
class MainWindow;

class Program : public QObject {
    Q_OBJECT
public:
    // Runs the main window's load step with this Word and shows the main window.
    explicit Program(backend::HostedWord word, QObject* parent = nullptr);
    ~Program() override;

    MainWindow* mainWindow() const { return main_; }
    DocumentWindow* wordWindow() const { return window_; }
    const std::shared_ptr<automation::Application>& word() const { return word_.word; }
    const std::shared_ptr<automation::HostedDocuments>& documents() const { return word_.documents; }
    bool isFinished() const { return finished_; }

signals:
    // Nothing is left to run: the process may end.
    void finished();

private:
    void check();
    void place();

    backend::HostedWord word_;
    QPointer<DocumentWindow> window_;
    MainWindow* main_;
    bool wordWindowGone_ = false;
    bool finished_ = false;
};

}  // namespace shell
