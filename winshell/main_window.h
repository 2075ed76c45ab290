// Form4, the main window: the panel of choices built from the settings table, the command buttons,
// the document watch, and the handlers behind every button. It holds the
// WordSession from its load step to the end of the program.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/excel.h"
#include "automation/word.h"
#include "commands/command_host.h"
#include "settings/controls.h"
#include "settings/format_settings.h"
#include "winshell/gui.h"

namespace winshell {

class AboutWindow;
class PickerWindow;
class SingleTableWindow;
class WelcomeWindow;

inline constexpr UINT_PTR kDocumentWatchTimer = 1;

// The Word the program drives, as start-up found it.
struct WordSession {
    std::shared_ptr<automation::Application> application;
    std::string progId;  // "Word.Application", or WPS Writer's "KWPS.Application" / "WPS.Application"
    std::shared_ptr<automation::excel::Launcher> excel;
};

// The panel's windows in the order of the settings table (one entry per PanelLayout entry; a control
// without a label has a null label).
struct PanelWindows {
    std::vector<HWND> frames;
    std::vector<HWND> controls;
    std::vector<HWND> labels;
    std::vector<HWND> buttons;
    std::vector<HWND> texts;
};

class MainWindow final : public Window, private commands::CommandHost {
public:
    // The load step: the narrow width, Word made visible and brought forward, the welcome window, the
    // panel's initial values; then the window is shown and the document watch runs.
    explicit MainWindow(WordSession word, ShowMessage showMessage = systemMessage);
    ~MainWindow() override;

    bool hasEnded() const { return ended_; }
    bool documentSeen() const { return documentSeen_; }
    const settings::EdgeLines& lines() const { return lines_; }
    // What a run reads: every list text, every check box and the three LineSpecs.
    settings::FormatSettings formatSettings() const;
    // The sample image a group's preview box shows ("Picture5", ...).
    std::string_view previewImage(settings::EdgeGroup group) const;

    const PanelWindows& panelWindows() const { return windows_; }
    // A control or button by its object name ("Combo7", "Command1"); null when there is none.
    HWND control(std::string_view name) const;
    // The panel's control of this key.
    HWND control(settings::Field key) const { return windows_.controls[settings::fieldIndex(key)]; }
    std::string tooltipOf(HWND control) const { return tooltips_->textOf(control); }
    Dpi dpi() const { return dpi_; }

    WelcomeWindow* welcomeWindow() const { return welcome_.get(); }
    PickerWindow* pickerWindow() const;
    SingleTableWindow* singleTableWindow() const { return singleTable_.get(); }
    AboutWindow* aboutWindow() const { return about_.get(); }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    // CommandHost
    void hideMainWindow() override;
    void showMainWindow() override;
    void showMessage(const std::string& text) override;

    void buildPanel();
    void layout() override;
    void loadInitialValues();
    void startWord();
    void setOuterWidthTwips(int twips);
    int outerWidthTwips() const;

    void command(int id, int notification);
    void drawItem(const DRAWITEMSTRUCT& item);

    // Handlers, one per user action.
    void watchTick();
    // Shows Combo13 and Combo6 while Combo7 reads "指定宽度" (picked or typed), hides them otherwise.
    void updateWidthDetails(int notification);
    void toggleWidth();
    void openDocument();
    void openPicker();
    void chooseLine(std::string_view option);
    void openCompanionWorkbook();
    void showAbout();
    void enterSingleTableMode();
    void runButton(settings::ButtonAction action);
    void formatRun();
    void endProgram();

    // Runs one command to its end as one undo step in Word; a failure the command does not handle
    // itself is shown, and the main window comes back.
    template <class Command>
    void runCommand(std::string_view name, Command&& command);

    // Shows the problem of a settings check, if there is one; true then.
    bool settingsRefused(const std::optional<std::string>& problem);
    bool singleTableMode() const;
    HWND messageOwner() const;

    WordSession word_;
    ShowMessage showMessage_;
    settings::EdgeLines lines_;
    std::vector<std::string_view> previews_;  // the sample image of each group's preview box

    std::unique_ptr<Tooltips> tooltips_;
    PanelWindows windows_;

    std::unique_ptr<WelcomeWindow> welcome_;
    std::unique_ptr<PickerWindow> picker_;
    std::unique_ptr<SingleTableWindow> singleTable_;
    std::unique_ptr<AboutWindow> about_;

    bool documentSeen_ = false;
    bool running_ = false;
    bool ended_ = false;
};

}  // namespace winshell
