// The program as a whole: its Word, the main window and the rule for when the process ends.
//
// Ending Gridwright (closing the main window, "退出程序", closing the single-table window, or Word
// going away) closes Gridwright's windows; the Word and its documents stay. When the Word has its
// window in this process (the embedded Word), the process lasts until that window is closed too.
#pragma once

#include <QObject>
#include <QPointer>

#include "shell/word_backend.h"

namespace shell {

class MainWindow;

class Program : public QObject {
    Q_OBJECT
public:
    // Runs the main window's load step with this Word and shows the main window.
    explicit Program(WordBackend backend, QObject* parent = nullptr);
    ~Program() override;

    MainWindow* mainWindow() const { return main_; }
    QWidget* wordWindow() const { return backend_.window; }
    const std::shared_ptr<automation::Application>& word() const { return backend_.application; }
    bool isFinished() const { return finished_; }

signals:
    // Nothing is left to run: the process may end.
    void finished();

private:
    void check();
    void place();

    WordBackend backend_;
    MainWindow* main_;
    bool wordWindowGone_ = false;
    bool finished_ = false;
};

}  // namespace shell
