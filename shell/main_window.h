// Form4, the main window "Gridwright": the panel of settings, the command buttons, the document
// watch, and the entry points to the welcome, picker, single-table and about windows. It holds the
// WordSession for the whole life of the program.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/excel.h"
#include "automation/word.h"
#include "commands/command_host.h"
#include "commands/pass_over.h"
#include "settings/controls.h"
#include "settings/format_settings.h"
#include "settings/line_spec.h"
#include "settings/settings_file.h"
#include "shell/twips.h"

class QTimer;
class QComboBox;
class QCheckBox;
class QGroupBox;
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
    // the panel's initial values and the document watch.
    explicit MainWindow(std::shared_ptr<automation::Application> word, QWidget* parent = nullptr);
    ~MainWindow() override;
    // The Excel that "开   始" of "文档内嵌excel表格" reaches; without one the button says it cannot convert.
    void setExcel(std::shared_ptr<automation::excel::Launcher> excel) { excel_ = std::move(excel); }

    // What a run reads: every list text, every check box and the three LineSpecs.
    settings::FormatSettings formatSettings() const;
    // The text each named field's control holds, as a settings file writes it ("1"/"0" for a check box,
    // "STYLE/WIDTH" for a line).
    settings::FieldTexts fieldTexts() const;
    // Puts checked assignments (a settings file, the last settings used) into the panel's controls.
    void applyAssignments(const std::vector<settings::SettingAssignment>& assignments);
    // The settings file the panel's values came from, shown in the title; empty for none.
    void setSettingsFileName(const QString& name);
    const settings::EdgeLines& lines() const { return lines_; }
    // The panel's widgets by key: null for a key whose control is of another kind.
    QComboBox* combo(settings::Field key) const { return combos_[settings::fieldIndex(key)]; }
    QCheckBox* check(settings::Field key) const { return checks_[settings::fieldIndex(key)]; }
    // True once the program has ended (the windows are closed, the timers stopped).
    bool hasEnded() const { return ended_; }

    // The window's outer width in twips.
    int outerWidthTwips() const;
    ClickablePicture* preview(settings::EdgeGroup group) const { return previews_[static_cast<int>(group)]; }
    const QPixmap& sampleImage(const QString& name) const;

    WelcomeWindow* welcomeWindow() const;
    PickerWindow* pickerWindow() const;
    SingleTableWindow* singleTableWindow() const;
    AboutWindow* aboutWindow() const;

public slots:
    // DocumentWatch: brings the window forward once Word holds a document; ends the program when
    // Word no longer answers.
    void watchTick();
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
    // The panel again, after the program ended or from behind other windows (窗口 › 排版面板).
    void reopen();

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
    QWidget* buildControl(const settings::ControlSpec& described, QGroupBox* frame);
    using FrameLayouts = std::array<std::unique_ptr<FrameLayout>, settings::kPanelFrameCount>;
    void buildFrameButtons(const FrameLayouts& layouts);
    void loadInitialValues();
    void startWord();
    void setOuterWidthTwips(int twips);
    // Shows Combo13 and Combo6 while Combo7 reads "指定宽度" (picked or typed), hides them otherwise.
    void updateWidthDetails();
    void chooseLine(const QString& optionName);
    void showPreview(settings::EdgeGroup group, const QString& imageName);
    void showMessage(const QString& text);
    QWidget* messageParent() const;
    QGroupBox* frame(settings::PanelFrame id) const { return frames_[static_cast<int>(id)]; }
    void runCommand(const QString& name, const std::function<void()>& command);
    // Shows the problem of a settings check, if there is one; true then.
    bool settingsRefused(const std::optional<std::string>& problem);

    std::shared_ptr<automation::Application> word_;
    std::shared_ptr<automation::excel::Launcher> excel_;
    std::unique_ptr<Host> host_;
    settings::EdgeLines lines_;
    Twips twips_;
    QHash<QString, QPixmap> samples_;
    std::array<QGroupBox*, settings::kPanelFrameCount> frames_{};
    std::array<QComboBox*, settings::kFieldCount> combos_{};
    std::array<QCheckBox*, settings::kFieldCount> checks_{};
    std::array<ClickablePicture*, settings::kEdgeGroups.size()> previews_{};
    QTimer* documentWatch_;
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
