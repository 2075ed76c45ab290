// The panel's settings beyond one start of the program: loaded from and saved to settings files
// (文件 › 载入排版设置… / 保存排版设置…, the format of the command line's --settings), and, when the
// user asks for it, the settings used last given back at the next start.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace shell {

class MainWindow;

class PanelSettings : public QObject {
    Q_OBJECT
public:
    // The settings key of the option "启动时使用上次的排版设置".
    static constexpr const char* kStartWithLastKey = "startWithLastSettings";

    // dialogs is the window the file choosers and messages belong to.
    PanelSettings(MainWindow& main, QWidget* dialogs, QObject* parent = nullptr);

    // Asks for a file and loads it / saves the panel to it.
    void load();
    void save();
    // A file that does not read gives the command line's message and leaves the panel as it was.
    bool loadFile(const QString& path);
    bool saveFile(const QString& path);

    // Whether the panel starts with the settings used last; the Part's defaults otherwise.
    static bool startsWithLast();
    static void setStartsWithLast(bool on);
    // Where the settings used last are kept.
    static QString lastSettingsPath();
    // Keeps the panel as it is now as the settings used last (before every command, and at the end).
    void remember();
    // At start: the settings used last, when the option is on and there are some.
    void restoreLast();

private:
    MainWindow& main_;
    QPointer<QWidget> dialogs_;
};

}  // namespace shell
