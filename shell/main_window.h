// Form4, the main window "Gridwright": the panel of settings, the command buttons, the document
// watch, and the entry points to the welcome, picker, single-table and about windows. It holds the
// WordSession for the whole life of the program.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "automation/excel.h"
#include "automation/word.h"
#include "commands/command_host.h"
#include "commands/pass_over.h"
#include "settings/format_settings.h"
#include "settings/line_spec.h"
#include "shell/twips.h"

class QTimer;
class QComboBox;
class QCheckBox;
class QPushButton;

namespace shell {

class AboutWindow;
class FrameLayout;
class ClickablePicture;
class PickerWindow;
class SingleTableWindow;
class WelcomeWindow;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Runs the load step: narrow width, Word made visible and brought forward, the welcome window,
    // the panel's initial values and both timers.
    explicit MainWindow(std::shared_ptr<automation::Application> word, QWidget* parent = nullptr);
    ~MainWindow() override;
    // The Excel that "开   始" of "文档内嵌excel表格" reaches; without one the button says it cannot convert.
    void setExcel(std::shared_ptr<automation::excel::Launcher> excel) { excel_ = std::move(excel); }

    // What a run reads: every list text, every check box and the three LineSpecs.
    settings::FormatSettings formatSettings() const;
    const settings::EdgeLines& lines() const { return lines_; }
    bool documentSeen() const { return documentSeen_; }
    // True once the program has ended (the windows are closed, the timers stopped).
    bool hasEnded() const { return ended_; }

    // The window's outer width in twips.
    int outerWidthTwips() const;
    // The sample image a preview box shows ("Picture5" after load).
    QString previewImage(settings::EdgeGroup group) const;
    ClickablePicture* preview(settings::EdgeGroup group) const;
    const QPixmap& sampleImage(const QString& name) const;

    WelcomeWindow* welcomeWindow() const;
    PickerWindow* pickerWindow() const;
    SingleTableWindow* singleTableWindow() const;
    AboutWindow* aboutWindow() const;
    QTimer* documentWatch() const { return documentWatch_; }
    QTimer* widthDetailTimer() const { return widthDetail_; }

public slots:
    // DocumentWatch: brings the window forward once Word holds a document; ends the program when
    // Word no longer answers.
    void watchTick();
    // Shows Combo13 and Combo6 while Combo7 reads "指定宽度", hides them otherwise.
    void widthDetailTick();
    // "更多功能 >>": narrow to wide and back.
    void toggleWidth();
    void openPicker();
    // Hides the welcome window and shows Word's Open dialog.
    void openDocument();
    // "开   始" (and the single-table window's "确 定").
    void startFormatRun();
    void enterSingleTableMode();
    void showAbout();
    void formatBodyText();
    void convertEmbeddedSheets();
    void tidyTables();
    void removeEmptyRows();
    void removeExternalLinks();
    // A click on "数字加千分位符号".
    void openCompanionWorkbook();
    // Ends the program: every window of it closes and the timers stop; Word stays as it is.
    void endProgram();

signals:
    void programEnded();
    // A command is about to change the document, and has ended: the document window takes one undo
    // step for it, named by name ("排版").
    void commandStarted(const QString& name);
    void commandEnded();
    // A format run is over (sent before commandEnded): what Word refused and the run passed over, and
    // whether it worked on the selected table alone.
    void formatRunReported(const std::vector<commands::PassedOver>& passedOver, bool singleTable);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Host;

    void buildPanel();
    void buildFrameButtons(const QHash<int, FrameLayout*>& layouts);
    void loadInitialValues();
    void startWord();
    void setOuterWidthTwips(int twips);
    void chooseLine(const QString& optionName);
    void showPreview(settings::EdgeGroup group, const QString& imageName);
    void showMessage(const QString& text);
    QWidget* messageParent() const;
    QComboBox* combo(std::string_view name) const;
    QComboBox* fieldCombo(settings::Field key) const;
    QCheckBox* check(std::string_view name) const;
    void runCommand(const QString& name, const std::function<void()>& command);

    std::shared_ptr<automation::Application> word_;
    std::shared_ptr<automation::excel::Launcher> excel_;
    std::unique_ptr<Host> host_;
    settings::EdgeLines lines_;
    Twips twips_;
    QHash<QString, QPixmap> samples_;
    QHash<int, QWidget*> frames_;  // by PanelFrame
    QTimer* documentWatch_;
    QTimer* widthDetail_;
    QPointer<WelcomeWindow> welcome_;
    QPointer<PickerWindow> picker_;
    QPointer<SingleTableWindow> singleTable_;
    QPointer<AboutWindow> about_;
    bool documentSeen_ = false;
    bool ended_ = false;
    bool running_ = false;
    bool shownOnce_ = false;
};

// The decimal separator the panel's typed numbers are read with on this platform.
settings::NumberLocale panelNumberLocale();

}  // namespace shell
