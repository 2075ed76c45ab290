#include "shell/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "bodytext/body_text.h"
#include "engine/format_run.h"
#include "shell/about_window.h"
#include "shell/clickable_picture.h"
#include "shell/line_samples.h"
#include "shell/picker_window.h"
#include "shell/prompts.h"
#include "shell/single_table_window.h"
#include "shell/welcome_window.h"
#include "utilities/utilities.h"

namespace shell {

namespace {

constexpr int kDocumentWatchMs = 3500;
const char* const kWordLostMessage = "与本程序一同启动的word主程序被关闭，本程序将退出。";
const char* const kEmbeddedSheetsUnavailable =
    "内置的 Word 还不能把文档中嵌入的 Excel 表格转换成 Word 表格，本次没有做任何修改。";

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

QString buttonObjectName(const settings::ButtonSpec& button) {
    if (!button.name.empty()) return qs(button.name);
    switch (button.action) {
        case settings::ButtonAction::About: return QStringLiteral("CommandAbout");
        case settings::ButtonAction::ToggleWidth: return QStringLiteral("CommandMore");
        case settings::ButtonAction::EnterSingleTableMode: return QStringLiteral("CommandSingleTable");
        default: return QStringLiteral("Command");
    }
}

int rowsOf(settings::PanelFrame frame) {
    switch (frame) {
        case settings::PanelFrame::Alignment: return 3;
        case settings::PanelFrame::Other: return 2;
        case settings::PanelFrame::EmbeddedExcel: return 3;
        default: return 4;
    }
}

QString frameObjectName(settings::PanelFrame frame) {
    switch (frame) {
        case settings::PanelFrame::TableSettings: return QStringLiteral("FrameTableSettings");
        case settings::PanelFrame::TableText: return QStringLiteral("FrameTableText");
        case settings::PanelFrame::Alignment: return QStringLiteral("FrameAlignment");
        case settings::PanelFrame::EmbeddedExcel: return QStringLiteral("FrameEmbeddedExcel");
        case settings::PanelFrame::Other: return QStringLiteral("FrameOther");
        case settings::PanelFrame::BodyText: break;
    }
    return QStringLiteral("FrameBodyText");
}

// Where the controls of a frame stand: rows from the top, a left and a right pair of label and
// control in each row.
struct FrameGrid {
    int width;
    int rowTop0;
    int rowPitch;

    FrameGrid(const QWidget* frame, int rows)
        : width(frame->width()), rowTop0(22), rowPitch(std::max(24, (frame->height() - 28) / rows)) {}

    int half() const { return width / 2; }
    int top(int row, int height) const { return rowTop0 + (row - 1) * rowPitch + (rowPitch - height) / 2; }
};

}  // namespace

settings::NumberLocale panelNumberLocale() {
#ifdef _WIN32
    // The user's regional settings decide how typed numbers are read.
    return settings::NumberLocale{utf8(QLocale::system().decimalPoint())};
#else
    return settings::platformNumberLocale();
#endif
}

// What the commands ask of the windows.
class MainWindow::Host : public commands::CommandHost {
public:
    explicit Host(MainWindow& window) : window_(window) {}

    void hideMainWindow() override { window_.hide(); }
    void showMainWindow() override {
        window_.show();
        window_.raise();
        window_.activateWindow();
    }
    bool singleTableWindowVisible() override { return window_.singleTable_ && window_.singleTable_->isVisible(); }
    void showMessage(const std::string& text) override { window_.showMessage(QString::fromStdString(text)); }

private:
    MainWindow& window_;
};

MainWindow::MainWindow(std::shared_ptr<automation::Application> word, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      word_(std::move(word)),
      host_(std::make_unique<Host>(*this)),
      twips_(Twips::ofScreen()),
      documentWatch_(new QTimer(this)),
      widthDetail_(new QTimer(this)) {
    setObjectName(qs(settings::kMainFormName));
    setWindowTitle(qs(settings::kMainCaption));
    setAttribute(Qt::WA_QuitOnClose, false);

    for (const settings::SampleImage& image : settings::sampleImages())
        samples_.insert(qs(image.name), samplePixmap(image));
    buildPanel();

    // The load step.
    setOuterWidthTwips(settings::kNarrowWidthTwips);
    startWord();
    loadInitialValues();

    documentWatch_->setObjectName(QStringLiteral("DocumentWatch"));
    documentWatch_->setInterval(kDocumentWatchMs);
    connect(documentWatch_, &QTimer::timeout, this, &MainWindow::watchTick);
    widthDetail_->setObjectName(QStringLiteral("WidthDetailCheck"));
    widthDetail_->setInterval(settings::kWidthDetailIntervalMs);
    connect(widthDetail_, &QTimer::timeout, this, &MainWindow::widthDetailTick);
    documentWatch_->start();
    widthDetail_->start();
}

MainWindow::~MainWindow() {
    delete welcome_;
    delete picker_;
    delete singleTable_;
    delete about_;
}

WelcomeWindow* MainWindow::welcomeWindow() const { return welcome_; }
PickerWindow* MainWindow::pickerWindow() const { return picker_; }
SingleTableWindow* MainWindow::singleTableWindow() const { return singleTable_; }
AboutWindow* MainWindow::aboutWindow() const { return about_; }

void MainWindow::startWord() {
    try {
        word_->SetVisible(true);
        word_->Activate();
        welcome_ = new WelcomeWindow;
        connect(welcome_, &WelcomeWindow::openRequested, this, &MainWindow::openDocument);
        connect(welcome_, &WelcomeWindow::exitRequested, this, &MainWindow::endProgram);
        welcome_->showCentred();
    } catch (const automation::Error&) {
        // The program goes on; if Word really is gone, the next watch tick ends it.
        showMessage(QString::fromUtf8(kWordLostMessage));
    }
}

void MainWindow::buildPanel() {
    for (const settings::FrameSpec& described : settings::panelFrames()) {
        auto* frame = new QGroupBox(qs(described.caption), this);
        frame->setObjectName(frameObjectName(described.id));
        frame->setGeometry(twips_.rect(described.rect));
        frames_.insert(frame->objectName(), frame);
    }

    const QFontMetrics metrics(font());
    for (const settings::ControlSpec& described : settings::panelControls()) {
        QWidget* frame = frames_.value(frameObjectName(described.frame));
        const FrameGrid grid(frame, rowsOf(described.frame));
        const int half = grid.half();
        const QString label = qs(described.label);
        const int labelWidth = label.isEmpty() ? 0 : std::max(58, metrics.horizontalAdvance(label) + 8);
        int x = described.placement == settings::Placement::Right ? half + 4 : 10;
        const int pairEnd = described.placement == settings::Placement::Left ? half - 6 : grid.width - 10;

        if (!label.isEmpty()) {
            QLabel* caption = nullptr;
            if (described.labelAction == settings::LabelAction::None) {
                caption = new QLabel(label, frame);
            } else {
                auto* clickable = new ClickablePicture(label, frame);
                if (described.labelAction == settings::LabelAction::OpenPickerOnDoubleClick)
                    connect(clickable, &ClickablePicture::doubleClicked, this, &MainWindow::openPicker);
                else
                    connect(clickable, &ClickablePicture::clicked, this, &MainWindow::openCompanionWorkbook);
                caption = clickable;
            }
            caption->setObjectName(QStringLiteral("Label") + qs(described.name));
            caption->setToolTip(qs(described.labelTooltip));
            caption->setGeometry(x, grid.top(described.row, 24), labelWidth, 24);
            x += labelWidth;
        }

        switch (described.kind) {
            case settings::ControlKind::ComboBox: {
                auto* box = new QComboBox(frame);
                box->setObjectName(qs(described.name));
                box->setEditable(true);
                box->setInsertPolicy(QComboBox::NoInsert);
                box->setToolTip(qs(described.tooltip));
                int width = pairEnd - x;
                if (described.placement == settings::Placement::Middle) {
                    x = half + 4;
                    width = (grid.width - 10 - x - 8) / 2;
                } else if (described.placement == settings::Placement::Right && label.isEmpty()) {
                    const int middleWidth = (grid.width - 10 - (half + 4) - 8) / 2;
                    x = half + 4 + middleWidth + 8;
                    width = middleWidth;
                }
                box->setGeometry(x, grid.top(described.row, 24), std::min(width, 160), 24);
                box->setVisible(described.initiallyVisible);
                break;
            }
            case settings::ControlKind::CheckBox: {
                auto* box = new QCheckBox(qs(described.caption), frame);
                box->setObjectName(qs(described.name));
                box->setToolTip(qs(described.tooltip));
                const int width = described.caption.empty() ? 24 : (described.placement == settings::Placement::Whole
                                                                   ? grid.width - 20
                                                                   : pairEnd - x);
                box->setGeometry(x, grid.top(described.row, 24), width, 24);
                break;
            }
            case settings::ControlKind::LinePreview: {
                auto* picture = new ClickablePicture(frame);
                picture->setObjectName(qs(described.name));
                picture->setFrameShape(QFrame::Box);
                picture->setGeometry(x, grid.top(described.row, settings::kPreviewHeightPixels),
                                     settings::kPreviewWidthPixels, settings::kPreviewHeightPixels);
                picture->setScaledContents(true);
                connect(picture, &ClickablePicture::clicked, this, &MainWindow::openPicker);
                break;
            }
            case settings::ControlKind::AlignmentIcons: {
                auto* picture = new QLabel(frame);
                picture->setObjectName(QStringLiteral("PictureAlignment"));
                const QPixmap icons = verticalAlignmentIcons();
                picture->setPixmap(icons);
                picture->setGeometry(x, grid.top(described.row, icons.height()), icons.width(), icons.height());
                break;
            }
        }
    }
    buildFrameButtons();
}

void MainWindow::buildFrameButtons() {
    using settings::ButtonAction;
    const QHash<int, void (MainWindow::*)()> handlers = {
        {static_cast<int>(ButtonAction::FormatRun), &MainWindow::startFormatRun},
        {static_cast<int>(ButtonAction::About), &MainWindow::showAbout},
        {static_cast<int>(ButtonAction::ToggleWidth), &MainWindow::toggleWidth},
        {static_cast<int>(ButtonAction::ConvertEmbeddedSheets), &MainWindow::convertEmbeddedSheets},
        {static_cast<int>(ButtonAction::TidyTables), &MainWindow::tidyTables},
        {static_cast<int>(ButtonAction::RemoveEmptyRows), &MainWindow::removeEmptyRows},
        {static_cast<int>(ButtonAction::RemoveExternalLinks), &MainWindow::removeExternalLinks},
        {static_cast<int>(ButtonAction::FormatBodyText), &MainWindow::formatBodyText},
        {static_cast<int>(ButtonAction::EnterSingleTableMode), &MainWindow::enterSingleTableMode},
    };

    for (const settings::ButtonSpec& described : settings::panelButtons()) {
        QWidget* parent = described.frame ? frames_.value(frameObjectName(*described.frame)) : this;
        auto* button = new QPushButton(qs(described.caption), parent);
        button->setObjectName(buttonObjectName(described));
        button->setToolTip(qs(described.tooltip));
        connect(button, &QPushButton::clicked, this, handlers.value(static_cast<int>(described.action)));
        if (described.rect) {
            button->setGeometry(twips_.rect(*described.rect));
            continue;
        }
        const FrameGrid grid(parent, rowsOf(*described.frame));
        const int buttonWidth = 96;
        const int right = grid.width - 12 - buttonWidth;
        switch (described.action) {
            case ButtonAction::FormatRun:
                button->setGeometry(grid.half() + 4, grid.top(2, 28), grid.width - 16 - grid.half(), 28);
                break;
            case ButtonAction::About:
                button->setGeometry(grid.half() + 4, grid.top(3, 26), (grid.width - 24 - grid.half()) / 2, 26);
                break;
            case ButtonAction::ToggleWidth: {
                const int width = (grid.width - 24 - grid.half()) / 2;
                button->setGeometry(grid.width - 12 - width, grid.top(3, 26), width, 26);
                break;
            }
            case ButtonAction::ConvertEmbeddedSheets:
            case ButtonAction::RemoveEmptyRows: button->setGeometry(right, grid.top(1, 26), buttonWidth, 26); break;
            case ButtonAction::TidyTables:
            case ButtonAction::RemoveExternalLinks: button->setGeometry(right, grid.top(2, 26), buttonWidth, 26); break;
            case ButtonAction::FormatBodyText: button->setGeometry(right, grid.top(4, 26), buttonWidth, 26); break;
            case ButtonAction::EnterSingleTableMode: break;
        }
    }

    for (const settings::LabelSpec& described : settings::panelLabels()) {
        QWidget* frame = frames_.value(frameObjectName(described.frame));
        const FrameGrid grid(frame, rowsOf(described.frame));
        auto* label = new QLabel(qs(described.caption), frame);
        label->setToolTip(qs(described.tooltip));
        const int row = described.button == ButtonAction::RemoveExternalLinks ? 2 : 1;
        label->setGeometry(12, grid.top(row, 24), grid.width - 130, 24);
    }
}

void MainWindow::loadInitialValues() {
    for (const settings::LoadStep& step : settings::loadSteps()) {
        switch (step.kind) {
            case settings::LoadStepKind::ResetLines:
                lines_ = settings::EdgeLines{};
                for (settings::EdgeGroup group : settings::kEdgeGroups) {
                    lines_.of(group) = settings::defaultLineSpec();
                    const settings::SampleImage* image = settings::sampleImageFor(lines_.of(group));
                    showPreview(group, image ? qs(image->name) : QString());
                }
                break;
            case settings::LoadStepKind::FillList: {
                QComboBox* box = combo(step.control);
                const settings::ControlSpec* described = settings::findControl(step.control);
                box->clear();
                for (std::string_view item : described->items) box->addItem(qs(item));
                box->setEditText(qs(step.text));
                break;
            }
            case settings::LoadStepKind::SetCheck: check(step.control)->setChecked(step.checked); break;
        }
    }
}

QComboBox* MainWindow::combo(std::string_view name) const { return findChild<QComboBox*>(qs(name)); }

QCheckBox* MainWindow::check(std::string_view name) const { return findChild<QCheckBox*>(qs(name)); }

settings::PanelState MainWindow::panelState() const {
    settings::PanelState panel;
    for (const settings::ControlSpec& described : settings::panelControls()) {
        if (described.kind == settings::ControlKind::ComboBox) {
            panel.setText(described.name, utf8(combo(described.name)->currentText()));
        } else if (described.kind == settings::ControlKind::CheckBox) {
            panel.setChecked(described.name, check(described.name)->isChecked());
        }
    }
    panel.lines = lines_;
    return panel;
}

settings::FormatSettings MainWindow::formatSettings() const {
    return settings::buildFormatSettings(panelState(), panelNumberLocale());
}

// ---- geometry ----------------------------------------------------------------------------------

int MainWindow::outerWidthTwips() const { return twips_.twipsX(frameGeometry().width()); }

void MainWindow::setOuterWidthTwips(int twipsWidth) {
    // The frame the window system draws around the client area (nothing until it has been shown).
    const int frameExtra = std::max(0, frameGeometry().width() - geometry().width());
    setFixedSize(twips_.x(twipsWidth) - frameExtra, twips_.y(settings::kClientHeightTwips));
}

void MainWindow::toggleWidth() {
    // A width that is the wide one to within a pixel counts as wide: twips do not map to whole pixels
    // at every resolution.
    int width = outerWidthTwips();
    if (std::abs(width - settings::kWideWidthTwips) < std::ceil(twips_.twipsPerPixelX())) width = settings::kWideWidthTwips;
    setOuterWidthTwips(settings::toggledWindowWidth(width));
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        // Now that the window system has framed the window, make the outer width the narrow one.
        setOuterWidthTwips(settings::kNarrowWidthTwips);
    }
}

void MainWindow::widthDetailTick() {
    const bool visible = settings::widthDetailsVisible(utf8(combo("Combo7")->currentText()));
    combo("Combo13")->setVisible(visible);
    combo("Combo6")->setVisible(visible);
}

// ---- line styles -------------------------------------------------------------------------------

ClickablePicture* MainWindow::preview(settings::EdgeGroup group) const {
    return findChild<ClickablePicture*>(qs(settings::previewPictureName(group)));
}

QString MainWindow::previewImage(settings::EdgeGroup group) const {
    return preview(group)->property("sampleImage").toString();
}

const QPixmap& MainWindow::sampleImage(const QString& name) const {
    static const QPixmap none;
    const auto it = samples_.constFind(name);
    return it == samples_.constEnd() ? none : *it;
}

void MainWindow::showPreview(settings::EdgeGroup group, const QString& imageName) {
    ClickablePicture* box = preview(group);
    box->setPixmap(sampleImage(imageName));
    box->setProperty("sampleImage", imageName);
}

void MainWindow::openPicker() {
    if (!picker_) {
        picker_ = new PickerWindow;
        connect(picker_, &PickerWindow::optionChosen, this, &MainWindow::chooseLine);
    }
    picker_->show();
    picker_->raise();
    picker_->activateWindow();
}

void MainWindow::chooseLine(const QString& optionName) {
    const settings::PickerOption* option = settings::applyPickerOption(utf8(optionName), lines_);
    if (option) showPreview(option->group, qs(option->sampleImage));
}

// ---- Word --------------------------------------------------------------------------------------

void MainWindow::watchTick() {
    if (ended_) return;
    try {
        if (word_->Documents()->Count() < 1) return;
        if (!documentSeen_) {
            host_->showMainWindow();
            state_.TablesToProcess = word_->ActiveDocument()->Tables()->Count();
            documentSeen_ = true;
        }
    } catch (const std::exception&) {
        // Word no longer answers.
        endProgram();
    }
}

void MainWindow::openDocument() {
    if (welcome_) welcome_->hide();
    try {
        word_->Dialogs()->Item(automation::wdDialogFileOpen)->Show();
    } catch (const automation::Error& error) {
        showMessage(QString::fromStdString(error.message()));
    }
}

// A command runs to its end before the next may start (a message box it shows lets other clicks
// and ticks through). A Word failure that the command itself does not handle is shown, and the main
// window comes back.
void MainWindow::runCommand(const std::function<void()>& command) {
    if (running_ || ended_) return;
    running_ = true;
    try {
        command();
    } catch (const automation::Error& error) {
        showMessage(QString::fromStdString(error.message()));
        host_->showMainWindow();
    }
    running_ = false;
}

void MainWindow::startFormatRun() {
    runCommand([this] {
        engine::FormatRun run(*word_, *host_, state_, global_);
        run.run(formatSettings());
    });
}

void MainWindow::enterSingleTableMode() {
    if (!singleTable_) {
        singleTable_ = new SingleTableWindow;
        connect(singleTable_, &SingleTableWindow::okRequested, this, [this] {
            state_.TablesToProcess = 1;
            startFormatRun();
        });
        connect(singleTable_, &SingleTableWindow::returnRequested, this, [this] {
            singleTable_->hide();
            host_->showMainWindow();
        });
        connect(singleTable_, &SingleTableWindow::closedByUser, this, &MainWindow::endProgram);
    }
    hide();
    singleTable_->show();
    singleTable_->raise();
}

void MainWindow::showAbout() {
    if (!about_) about_ = new AboutWindow;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

// ---- the other commands ------------------------------------------------------------------------

void MainWindow::formatBodyText() {
    runCommand([this] { bodytext::formatBodyText(*word_, formatSettings(), *host_, global_); });
}

void MainWindow::convertEmbeddedSheets() { showMessage(QString::fromUtf8(kEmbeddedSheetsUnavailable)); }

void MainWindow::tidyTables() {
    runCommand([this] { utilities::tidyTables(*word_, *host_, state_); });
}

void MainWindow::removeEmptyRows() {
    runCommand([this] { utilities::deleteEmptyRows(*word_, *host_); });
}

void MainWindow::removeExternalLinks() {
    runCommand([this] { utilities::unlinkFields(*word_, *host_); });
}

void MainWindow::openCompanionWorkbook() {
    // The companion workbook needs Excel, which only a Windows desktop has; here the click does
    // nothing, and it never toggles the check box beside the label.
}

// ---- messages and the end ----------------------------------------------------------------------

QWidget* MainWindow::messageParent() const {
    if (singleTable_ && singleTable_->isVisible()) return singleTable_;
    if (isVisible()) return const_cast<MainWindow*>(this);
    return nullptr;
}

void MainWindow::showMessage(const QString& text) { prompts().message(messageParent(), text); }

void MainWindow::endProgram() {
    if (ended_) return;
    ended_ = true;
    documentWatch_->stop();
    widthDetail_->stop();
    if (welcome_) welcome_->hide();
    if (singleTable_) singleTable_->hide();
    if (picker_) picker_->close();
    if (about_) about_->close();
    hide();
    emit programEnded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    endProgram();
}

}  // namespace shell
