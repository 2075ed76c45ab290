#include "winshell/main_window.h"

#include <algorithm>

#include "automation/com/undo_record.h"
#include "bodytext/body_text.h"
#include "commands/failure_message.h"
#include "engine/format_run.h"
#include "settings/setting_limits.h"
#include "settings/shell_texts.h"
#include "utilities/utilities.h"
#include "winshell/about_window.h"
#include "winshell/line_samples.h"
#include "winshell/panel_layout.h"
#include "winshell/picker_window.h"
#include "winshell/single_table_window.h"
#include "winshell/welcome_window.h"

namespace winshell {

namespace {

using settings::ButtonAction;
using settings::ControlKind;

// Control ids by kind; the entry's index in its table is added.
constexpr int kFrameIds = 1000;
constexpr int kControlIds = 1100;
constexpr int kLabelIds = 1200;
constexpr int kButtonIds = 1300;
constexpr int kTextIds = 1400;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed size, close box only
constexpr int kListRows = 14;                                      // items a dropped list shows

settings::NumberLocale userNumberLocale() {
    // The user's regional settings decide how typed numbers are read.
    wchar_t point[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, point, 8) > 0 && point[0] != L'\0')
        return settings::NumberLocale{utf8(point)};
    return settings::NumberLocale{};
}

// A drop-down list's closed height follows its font; its selection field is made as tall as the panel
// asks. The box is its field plus a fixed frame, so one trial height tells the frame.
void setClosedHeight(HWND combo, int height) {
    auto closed = [combo] {
        RECT now{};
        GetWindowRect(combo, &now);
        return static_cast<int>(now.bottom - now.top);
    };
    const int trial = height / 2;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), trial);
    const int frame = closed() - trial;
    if (frame != height - trial) SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - frame);
}

void place(HWND window, const RECT& rect) {
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool isBusy(const automation::Error& error) {
    return error.number() == static_cast<long>(RPC_E_CALL_REJECTED) ||
           error.number() == static_cast<long>(RPC_E_SERVERCALL_RETRYLATER);
}

}  // namespace

MainWindow::MainWindow(WordSession word, ShowMessage showMessage)
    : word_(std::move(word)), showMessage_(std::move(showMessage)), previews_(settings::kEdgeGroups.size()) {
    create(L"GridwrightForm4", settings::kMainCaption, kStyle);
    tooltips_ = std::make_unique<Tooltips>(hwnd());
    tooltips_->setFont(font_.get());
    buildPanel();
    layout();

    // The load step.
    setOuterWidthTwips(settings::kNarrowWidthTwips);
    startWord();
    loadInitialValues();
    ShowWindow(hwnd(), SW_SHOW);
    SetTimer(hwnd(), kDocumentWatchTimer, settings::kDocumentWatchIntervalMs, nullptr);
}

MainWindow::~MainWindow() {
    if (hwnd() != nullptr) KillTimer(hwnd(), kDocumentWatchTimer);
}

PickerWindow* MainWindow::pickerWindow() const { return picker_ && picker_->hwnd() ? picker_.get() : nullptr; }

// ---- the panel ---------------------------------------------------------------------------------

void MainWindow::buildPanel() {
    HWND parent = hwnd();
    HFONT font = font_.get();
    int index = 0;
    for (const settings::ControlSpec& described : settings::panelControls()) {
        HWND label = nullptr;
        if (!described.label.empty()) {
            label = createControl(parent, L"STATIC", described.label,
                                  WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY,
                                  kLabelIds + index, font);
            tooltips_->add(label, described.labelTooltip);
        }
        const DWORD visible = described.initiallyVisible ? WS_VISIBLE : 0;
        const int id = kControlIds + index;
        HWND control = nullptr;
        switch (described.kind) {
            case ControlKind::ComboBox:
                control = createControl(parent, L"COMBOBOX", "",
                                        visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, id, font);
                SendMessageW(control, CB_SETMINVISIBLE, kListRows, 0);
                if (COMBOBOXINFO parts{}; (parts.cbSize = sizeof parts, GetComboBoxInfo(control, &parts)))
                    tooltips_->add(parts.hwndItem, described.tooltip);  // the box's edit field
                break;
            case ControlKind::CheckBox:
                control = createControl(parent, L"BUTTON", described.caption, visible | WS_TABSTOP | BS_AUTOCHECKBOX,
                                        id, font);
                break;
            case ControlKind::LinePreview:
                control =
                    createControl(parent, L"STATIC", "", visible | WS_BORDER | SS_OWNERDRAW | SS_NOTIFY, id, font);
                break;
            case ControlKind::AlignmentIcons:
                control = createControl(parent, L"STATIC", "", visible | SS_OWNERDRAW, id, font);
                break;
        }
        tooltips_->add(control, described.tooltip);
        windows_.controls.push_back(control);
        windows_.labels.push_back(label);
        ++index;
    }
    index = 0;
    for (const settings::LabelSpec& described : settings::panelLabels()) {
        HWND text = createControl(parent, L"STATIC", described.caption,
                                  WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY,
                                  kTextIds + index++, font);
        tooltips_->add(text, described.tooltip);
        windows_.texts.push_back(text);
    }
    index = 0;
    for (const settings::ButtonSpec& described : settings::panelButtons()) {
        HWND button = createControl(parent, L"BUTTON", described.caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    kButtonIds + index++, font);
        tooltips_->add(button, described.tooltip);
        windows_.buttons.push_back(button);
    }
    // The frames last: at the bottom of the order of the window's children, so the controls stand on them.
    index = 0;
    for (const settings::FrameSpec& described : settings::panelFrames())
        windows_.frames.push_back(
            createControl(parent, L"BUTTON", described.caption, WS_VISIBLE | BS_GROUPBOX, kFrameIds + index++, font));
}

void MainWindow::layout() {
    const PanelLayout& layout = panelLayout();
    const auto& controls = settings::panelControls();
    for (size_t i = 0; i < windows_.frames.size(); ++i) place(windows_.frames[i], dpi_.rect(layout.frames[i]));
    for (size_t i = 0; i < windows_.controls.size(); ++i) {
        RECT rect = dpi_.rect(layout.controls[i]);
        if (controls[i].kind == ControlKind::ComboBox) {
            const int closed = rect.bottom - rect.top;
            rect.bottom += dpi_.scaled(kListRows * 18);  // the dropped list below the box
            place(windows_.controls[i], rect);
            setClosedHeight(windows_.controls[i], closed);
        } else {
            place(windows_.controls[i], rect);
        }
        if (windows_.labels[i] != nullptr) place(windows_.labels[i], dpi_.rect(*layout.labels[i]));
    }
    for (size_t i = 0; i < windows_.buttons.size(); ++i) place(windows_.buttons[i], dpi_.rect(layout.buttons[i]));
    for (size_t i = 0; i < windows_.texts.size(); ++i) place(windows_.texts[i], dpi_.rect(layout.texts[i]));
}

HWND MainWindow::control(std::string_view name) const {
    const auto& controls = settings::panelControls();
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i].name == name) return windows_.controls[i];
    const auto& buttons = settings::panelButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].name == name) return windows_.buttons[i];
    return nullptr;
}

void MainWindow::loadInitialValues() {
    for (settings::EdgeGroup group : settings::kEdgeGroups) {
        lines_.of(group) = settings::defaultLineSpec();
        const settings::SampleImage* image = settings::sampleImageFor(lines_.of(group));
        previews_[static_cast<size_t>(group)] = image ? image->name : std::string_view();
    }
    const auto& controls = settings::panelControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        HWND control = windows_.controls[i];
        if (controls[i].kind == ControlKind::ComboBox) {
            SendMessageW(control, CB_RESETCONTENT, 0, 0);
            for (std::string_view item : controls[i].items)
                SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
            setWindowText(control, controls[i].defaultText);
        } else if (controls[i].kind == ControlKind::CheckBox) {
            SendMessageW(control, BM_SETCHECK, controls[i].defaultChecked ? BST_CHECKED : BST_UNCHECKED, 0);
        } else if (controls[i].kind == ControlKind::LinePreview) {
            InvalidateRect(control, nullptr, TRUE);
        }
    }
}

settings::FormatSettings MainWindow::formatSettings() const {
    const settings::NumberLocale locale = userNumberLocale();
    settings::FormatSettings read = settings::defaultFormatSettings(locale);
    for (const settings::ControlSpec& described : settings::panelControls()) {
        HWND window = control(described.key);
        if (described.kind == ControlKind::ComboBox)
            settings::setText(read, described.key, windowText(window), locale);
        else if (described.kind == ControlKind::CheckBox)
            settings::setChecked(read, described.key, SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    for (settings::EdgeGroup group : settings::kEdgeGroups)
        settings::setLine(read, settings::edgeGroupField(group), lines_.of(group), locale);
    return read;
}

std::string_view MainWindow::previewImage(settings::EdgeGroup group) const {
    return previews_[static_cast<size_t>(group)];
}

// ---- geometry ----------------------------------------------------------------------------------

int MainWindow::outerWidthTwips() const {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    return dpi_.twips(outer.right - outer.left);
}

void MainWindow::setOuterWidthTwips(int twips) {
    // The height is the client area's, plus the caption and borders the window system adds at this resolution.
    const SIZE outer = outerSize(kStyle, 0, dpi_.px(settings::kClientHeightTwips), dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, dpi_.px(twips), outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::toggleWidth() {
    // A width that is the wide one to within a pixel counts as wide: twips do not map to whole pixels
    // at every resolution.
    int width = outerWidthTwips();
    if (std::abs(width - settings::kWideWidthTwips) < dpi_.twips(1) + 1) width = settings::kWideWidthTwips;
    setOuterWidthTwips(settings::toggledWindowWidth(width));
}

void MainWindow::updateWidthDetails(int notification) {
    // A picked item is in the list before the box's field shows it; a typed text is in the field.
    HWND widthMode = control(settings::Field::TableWidthMode);
    std::string text = windowText(widthMode);
    if (notification == CBN_SELCHANGE) {
        const LRESULT index = SendMessageW(widthMode, CB_GETCURSEL, 0, 0);
        const LRESULT length = SendMessageW(widthMode, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (index != CB_ERR && length != CB_ERR) {
            std::wstring item(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(widthMode, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<size_t>(length));
            text = utf8(item);
        }
    }
    const bool visible = settings::widthDetailsVisible(text);
    for (settings::Field detail : {settings::Field::SpecifiedWidthCm, settings::Field::LeftIndentCm})
        ShowWindow(control(detail), visible ? SW_SHOWNA : SW_HIDE);
}

// ---- messages ----------------------------------------------------------------------------------

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER:
            if (wParam == kDocumentWatchTimer) watchTick();
            return 0;
        case WM_DRAWITEM: drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_DPICHANGED: {
            // New fonts and places at the new resolution; the window keeps its width in twips.
            const int width = outerWidthTwips();
            Window::handle(message, wParam, lParam);
            tooltips_->setFont(font_.get());
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            setOuterWidthTwips(width);
            return 0;
        }
        case WM_CLOSE: endProgram(); return 0;
        default: return Window::handle(message, wParam, lParam);
    }
}

void MainWindow::command(int id, int notification) {
    const auto& controls = settings::panelControls();
    if (id >= kButtonIds && id < kButtonIds + static_cast<int>(settings::panelButtons().size())) {
        if (notification == BN_CLICKED)
            runButton(settings::panelButtons()[static_cast<size_t>(id - kButtonIds)].action);
    } else if (id >= kLabelIds && id < kLabelIds + static_cast<int>(controls.size())) {
        const settings::LabelAction action = controls[static_cast<size_t>(id - kLabelIds)].labelAction;
        if (action == settings::LabelAction::OpenPickerOnDoubleClick && notification == STN_DBLCLK) openPicker();
        if (action == settings::LabelAction::OpenCompanionWorkbook && notification == STN_CLICKED)
            openCompanionWorkbook();
    } else if (id >= kControlIds && id < kControlIds + static_cast<int>(controls.size())) {
        const settings::ControlSpec& described = controls[static_cast<size_t>(id - kControlIds)];
        if (described.kind == ControlKind::LinePreview && notification == STN_CLICKED) openPicker();
        if (described.key == settings::Field::TableWidthMode &&
            (notification == CBN_SELCHANGE || notification == CBN_EDITCHANGE))
            updateWidthDetails(notification);
    }
}

void MainWindow::drawItem(const DRAWITEMSTRUCT& item) {
    const auto& controls = settings::panelControls();
    const size_t index = static_cast<size_t>(static_cast<int>(item.CtlID) - kControlIds);
    if (index >= controls.size()) return;
    if (controls[index].kind == ControlKind::AlignmentIcons) {
        drawAlignmentIcons(item.hDC, item.rcItem, dpi_);
        return;
    }
    for (settings::EdgeGroup group : settings::kEdgeGroups) {
        if (settings::edgeGroupField(group) != controls[index].key) continue;
        const settings::SampleImage* image = settings::findSampleImage(previewImage(group));
        drawSample(item.hDC, item.rcItem, image, dpi_, font_.get());
    }
}

// ---- CommandHost -------------------------------------------------------------------------------

void MainWindow::hideMainWindow() { ShowWindow(hwnd(), SW_HIDE); }

void MainWindow::showMainWindow() {
    // Windows lets a program that is not in front take the focus only in some cases; above Word's
    // window the main window comes in any case.
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(hwnd());
}

bool MainWindow::singleTableMode() const { return singleTable_ && singleTable_->visible(); }

void MainWindow::showMessage(const std::string& text) { showMessage_(messageOwner(), text); }

HWND MainWindow::messageOwner() const {
    if (singleTable_ && singleTable_->visible()) return singleTable_->hwnd();
    return visible() ? hwnd() : nullptr;
}

// ---- Word --------------------------------------------------------------------------------------

void MainWindow::startWord() {
    try {
        word_.application->SetVisible(true);
        word_.application->Activate();
        welcome_ = std::make_unique<WelcomeWindow>(
            word_.progId, [this] { openDocument(); }, [this] { endProgram(); });
        welcome_->showCentred();
    } catch (const std::exception&) {
        // The program goes on; if Word really is gone, the next watch tick ends it.
        welcome_.reset();
        showMessage(std::string(settings::kWordLostMessage));
    }
}

void MainWindow::watchTick() {
    // While a command or Word's Open dialog is running, Word is busy with it.
    if (ended_ || running_) return;
    try {
        if (word_.application->Documents()->Count() < 1) return;
        if (!documentSeen_) {
            showMainWindow();
            documentSeen_ = true;
        }
    } catch (const automation::Error& error) {
        // A Word that turns calls down is busy with a dialog of its own and still there; any other
        // failure means it no longer answers.
        if (!isBusy(error)) endProgram();
    } catch (const std::exception&) {
        endProgram();
    }
}

void MainWindow::openDocument() {
    if (welcome_) welcome_->hide();
    if (running_ || ended_) return;
    running_ = true;
    try {
        word_.application->Dialogs()->Item(automation::wdDialogFileOpen)->Show();
    } catch (const std::exception& error) {
        showMessage(commands::failureMessage(error));
    }
    running_ = false;
}

template <class Command>
void MainWindow::runCommand(std::string_view name, Command&& command) {
    if (running_ || ended_) return;
    running_ = true;
    try {
        automation::com::CustomUndoRecord record(*word_.application, std::string(name));
        command();
    } catch (const std::exception& error) {
        showMessage(commands::failureMessage(error));
        showMainWindow();
    }
    running_ = false;
}

void MainWindow::runButton(ButtonAction action) {
    automation::Application& word = *word_.application;
    const std::string_view name = settings::commandName(action);
    switch (action) {
        case ButtonAction::FormatRun: formatRun(); break;
        case ButtonAction::About: showAbout(); break;
        case ButtonAction::ToggleWidth: toggleWidth(); break;
        case ButtonAction::EnterSingleTableMode: enterSingleTableMode(); break;
        case ButtonAction::ConvertEmbeddedSheets:
            runCommand(name, [&] { utilities::convertEmbeddedSheets(word, *word_.excel, *this); });
            break;
        case ButtonAction::TidyTables: runCommand(name, [&] { utilities::tidyTables(word, *this); }); break;
        case ButtonAction::RemoveEmptyRows: runCommand(name, [&] { utilities::deleteEmptyRows(word, *this); }); break;
        case ButtonAction::RemoveExternalLinks: runCommand(name, [&] { utilities::unlinkFields(word, *this); }); break;
        case ButtonAction::FormatBodyText:
            if (running_ || ended_ || settingsRefused(settings::checkBodySettings(formatSettings()))) break;
            runCommand(name, [&] { bodytext::formatBodyText(word, formatSettings(), *this); });
            break;
    }
}

bool MainWindow::settingsRefused(const std::optional<std::string>& problem) {
    if (!problem) return false;
    showMessage(*problem);
    return true;
}

void MainWindow::formatRun() {
    if (running_ || ended_) return;
    // Checked as the command line checks them, before the document is touched.
    if (settingsRefused(settings::checkTableSettings(formatSettings()))) return;
    const bool single = singleTableMode();
    runCommand(settings::commandName(ButtonAction::FormatRun, single), [&] {
        engine::FormatRun run(*word_.application, *this);
        run.run(formatSettings(), single ? engine::Scope::SelectedTable : engine::Scope::WholeDocument);
    });
}

void MainWindow::enterSingleTableMode() {
    if (!singleTable_) {
        singleTable_ = std::make_unique<SingleTableWindow>([this] { formatRun(); },
                                                           [this] {
                                                               singleTable_->hide();
                                                               showMainWindow();
                                                           },
                                                           [this] { endProgram(); });
    }
    hideMainWindow();
    singleTable_->show();
}

// ---- the other windows -------------------------------------------------------------------------

void MainWindow::openPicker() {
    if (!pickerWindow())
        picker_ = std::make_unique<PickerWindow>([this](std::string_view option) { chooseLine(option); });
    picker_->show();
}

void MainWindow::chooseLine(std::string_view option) {
    const settings::PickerOption* chosen = settings::applyPickerOption(option, lines_);
    if (chosen == nullptr) return;
    previews_[static_cast<size_t>(chosen->group)] = chosen->sampleImage;
    InvalidateRect(control(settings::edgeGroupField(chosen->group)), nullptr, TRUE);
}

void MainWindow::showAbout() {
    if (!about_ || !about_->hwnd()) about_ = std::make_unique<AboutWindow>(word_.progId);
    about_->show();
}

void MainWindow::openCompanionWorkbook() {
    // The check box beside the label stays as it is. The file is looked for first, so that no Excel is
    // started for nothing; Excel is made visible, or the user would see nothing of the workbook.
    const std::string path = utf8(programFolder()) + "\\" + std::string(settings::kCompanionWorkbookName);
    if (GetFileAttributesW(wide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        showMessage("找不到配套工作簿“" + std::string(settings::kCompanionWorkbookName) + "”。查找的位置：" + path);
        return;
    }
    automation::excel::ApplicationPtr excel;
    try {
        excel = word_.excel->createNew();
    } catch (const std::exception&) {
        showMessage("无法启动 Excel（“excel.application”），不能打开配套工作簿“" + path +
                    "”。请确认本机安装了 Microsoft Excel。");
        return;
    }
    try {
        excel->Workbooks()->Open(path);
        excel->SetVisible(true);
    } catch (const std::exception& error) {
        showMessage("Excel 无法打开配套工作簿“" + path + "”：" + commands::failureMessage(error));
    }
}

void MainWindow::endProgram() {
    if (ended_) return;
    ended_ = true;
    KillTimer(hwnd(), kDocumentWatchTimer);
    if (welcome_) welcome_->hide();
    if (singleTable_) singleTable_->hide();
    picker_.reset();
    about_.reset();
    ShowWindow(hwnd(), SW_HIDE);
    PostQuitMessage(0);
}

}  // namespace winshell
