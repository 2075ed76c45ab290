// The program as a whole: the embedded Word with its document window, the main window, the panel's
// settings beyond one start, and the rule for when the process ends.
//
// Ending Gridwright (closing the main window, "退出程序", closing the single-table window, or Word
// going away) closes Gridwright's windows; the Word and its documents stay, and 窗口 › 排版面板
// brings the panel back. The process lasts until the document window, which is that Word's own
// window, is closed too.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "backend/word_start.h"

namespace shell {

class DocumentWindow;
class MainWindow;
class PanelSettings;
class ScreenFit;

class Program : public QObject {
    Q_OBJECT
public:
    // Runs the main window's load step with this Word and shows the windows side by side.
    explicit Program(backend::HostedWord word, QObject* parent = nullptr);
    ~Program() override;

    MainWindow* mainWindow() const { return main_; }
    DocumentWindow* wordWindow() const { return window_; }
    PanelSettings* panelSettings() const { return settings_; }
    const std::shared_ptr<automation::Application>& word() const { return word_.word; }
    const std::shared_ptr<automation::HostedDocuments>& documents() const { return word_.documents; }
    bool isFinished() const { return finished_; }

    // The files given on the command line: opened, and the welcome window, which tells how to open
    // one, goes once one is open.
    void openAtStart(const QStringList& files);

signals:
    // Nothing is left to run: the process may end.
    void finished();

private:
    void check();
    void place();

    backend::HostedWord word_;
    ScreenFit* screenFit_;
    QPointer<DocumentWindow> window_;
    MainWindow* main_;
    PanelSettings* settings_;
    bool wordWindowGone_ = false;
    bool finished_ = false;
};

}  // namespace shell
