#include "shell/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "bodytext/body_text.h"
#include "commands/failure_message.h"
#include "engine/format_run.h"
#include "settings/controls.h"
#include "settings/setting_limits.h"
#include "settings/shell_texts.h"
#include "shell/about_window.h"
#include "shell/clickable_picture.h"
#include "shell/line_samples.h"
#include "shell/picker_window.h"
#include "shell/prompts.h"
#include "shell/single_table_window.h"
#include "shell/utf8.h"
#include "shell/welcome_window.h"
#include "shell/word_calls.h"
#include "utilities/utilities.h"

namespace shell {

namespace {

constexpr int kControlHeight = 24;
constexpr int kLongestCombo = 160;  // a list box never grows wider than this
constexpr int kShortestLabel = 58;  // labels of one column line up at this width or more

const char* const kEmbeddedSheetsUnavailable =
    "当前的 Word 无法连接 Excel，不能把文档中嵌入的 Excel 表格转换成 Word 表格，本次没有做任何修改。";

}  // namespace

// The rows of one frame, spread evenly over its height. Each row has a left and a right half of the
// frame's width; a half holds a label and a control side by side (Middle and Right share the right
// half), and Whole spans both.
class FrameLayout {
public:
    FrameLayout(QGroupBox* frame, int rows) : grid_(new QGridLayout(frame)) {
        grid_->setContentsMargins(kMargin, 2, kMargin, 4);
        grid_->setHorizontalSpacing(kGap);
        grid_->setVerticalSpacing(0);
        // The two halves are equal whatever they hold.
        const int halfWidth = (frame->width() - 2 * kMargin - kGap) / 2;
        for (int column : {0, 1}) {
            grid_->setColumnStretch(column, 1);
            grid_->setColumnMinimumWidth(column, halfWidth);
        }
        for (int row = 0; row < rows; ++row) grid_->setRowStretch(row, 1);
    }

    // Puts the widget (after its label, if any) into its place in the row. A label touches its
    // control; two controls sharing a half keep a gap between them.
    void add(int row, settings::Placement placement, QWidget* label, QWidget* widget) {
        QHBoxLayout* place = half(row, placement);
        if (!label && place->count() > 0) place->addSpacing(kGap - 2);
        if (label) place->addWidget(label);
        place->addWidget(widget);
    }

    // A widget of fixed width at the right end of the row's right half.
    void addAtRightEnd(int row, QWidget* widget) {
        QHBoxLayout* place = half(row, settings::Placement::Right);
        place->addStretch(1);
        place->addWidget(widget);
    }

    // Ends every half whose widgets do not fill it, so they stay at its left (a half that starts with
    // a stretch already holds its widget at the right end).
    void finish() {
        for (QHBoxLayout* place : std::as_const(halves_)) {
            if (place->count() > 0 && place->itemAt(0)->spacerItem()) continue;
            if (place->count() > 0 && (place->itemAt(place->count() - 1)->expandingDirections() & Qt::Horizontal))
                continue;
            place->addStretch(1);
        }
    }

private:
    static constexpr int kMargin = 10;
    static constexpr int kGap = 10;

    QHBoxLayout* half(int row, settings::Placement placement) {
        const int column = placement == settings::Placement::Left || placement == settings::Placement::Whole ? 0 : 1;
        const int key = row * 2 + column;
        if (QHBoxLayout* place = halves_.value(key)) return place;
        auto* place = new QHBoxLayout;
        place->setSpacing(0);
        grid_->addLayout(place, row - 1, column, 1, placement == settings::Placement::Whole ? 2 : 1, Qt::AlignVCenter);
        halves_.insert(key, place);
        return place;
    }

    QGridLayout* grid_;
    QHash<int, QHBoxLayout*> halves_;
};

settings::NumberLocale panelNumberLocale() { return settings::platformNumberLocale(); }

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
      documentWatch_(new QTimer(this)) {
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
    documentWatch_->setInterval(settings::kDocumentWatchIntervalMs);
    connect(documentWatch_, &QTimer::timeout, this, &MainWindow::watchTick);
    documentWatch_->start();
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
    } catch (const std::exception&) {
        // The program goes on; if Word really is gone, the next watch tick ends it.
        showMessage(qs(settings::kWordLostMessage));
    }
}

void MainWindow::buildPanel() {
    FrameLayouts layouts;
    for (const settings::FrameSpec& described : settings::panelFrames()) {
        // The table fixes each frame's place in the window; inside it, layouts place the controls.
        auto* box = new QGroupBox(qs(described.caption), this);
        box->setObjectName(qs(described.name));
        box->setGeometry(twips_.rect(described.rect));
        frames_[static_cast<int>(described.id)] = box;
        layouts[static_cast<int>(described.id)] = std::make_unique<FrameLayout>(box, described.rows);
    }

    const QFontMetrics metrics(font());
    for (const settings::ControlSpec& described : settings::panelControls()) {
        QGroupBox* box = frame(described.frame);
        QLabel* caption = nullptr;
        if (!described.label.empty()) {
            const QString label = qs(described.label);
            if (described.labelAction == settings::LabelAction::None) {
                caption = new QLabel(label, box);
            } else {
                auto* clickable = new ClickablePicture(label, box);
                if (described.labelAction == settings::LabelAction::OpenPickerOnDoubleClick)
                    connect(clickable, &ClickablePicture::doubleClicked, this, &MainWindow::openPicker);
                else
                    connect(clickable, &ClickablePicture::clicked, this, &MainWindow::openCompanionWorkbook);
                caption = clickable;
            }
            caption->setObjectName(QStringLiteral("Label") + qs(described.name));
            caption->setToolTip(qs(described.labelTooltip));
            caption->setFixedSize(std::max(kShortestLabel, metrics.horizontalAdvance(label) + 8), kControlHeight);
        }

        QWidget* control = buildControl(described, box);
        control->setObjectName(described.name.empty() ? QStringLiteral("PictureAlignment") : qs(described.name));
        control->setToolTip(qs(described.tooltip));
        layouts[static_cast<int>(described.frame)]->add(described.row, described.placement, caption, control);
        // Shown with the window unless it starts hidden; a hidden box keeps its place in the row.
        if (!described.initiallyVisible) {
            QSizePolicy policy = control->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            control->setSizePolicy(policy);
            control->setVisible(false);
        }
    }
    buildFrameButtons(layouts);
    for (const auto& layout : layouts) layout->finish();

    // The width-detail boxes follow the text of "表格宽度" as it is picked or typed.
    connect(combo(settings::Field::TableWidthMode), &QComboBox::currentTextChanged, this,
            &MainWindow::updateWidthDetails);
}

QWidget* MainWindow::buildControl(const settings::ControlSpec& described, QGroupBox* box) {
    const int index = settings::fieldIndex(described.key);
    switch (described.kind) {
        case settings::ControlKind::ComboBox: {
            auto* list = new QComboBox(box);
            list->setEditable(true);
            list->setInsertPolicy(QComboBox::NoInsert);
            list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            list->setMaximumWidth(kLongestCombo);
            list->setFixedHeight(kControlHeight);
            combos_[index] = list;
            return list;
        }
        case settings::ControlKind::CheckBox: {
            auto* tick = new QCheckBox(qs(described.caption), box);
            tick->setFixedHeight(kControlHeight);
            checks_[index] = tick;
            return tick;
        }
        case settings::ControlKind::LinePreview: {
            auto* picture = new ClickablePicture(box);
            picture->setFrameShape(QFrame::Box);
            picture->setFixedSize(settings::kPreviewWidthPixels, settings::kPreviewHeightPixels);
            picture->setScaledContents(true);
            connect(picture, &ClickablePicture::clicked, this, &MainWindow::openPicker);
            for (settings::EdgeGroup group : settings::kEdgeGroups)
                if (settings::edgeGroupField(group) == described.key) previews_[static_cast<int>(group)] = picture;
            return picture;
        }
        case settings::ControlKind::AlignmentIcons: break;
    }
    auto* picture = new QLabel(box);
    const QPixmap icons = verticalAlignmentIcons();
    picture->setPixmap(icons);
    picture->setFixedSize(icons.size());
    return picture;
}

void MainWindow::buildFrameButtons(const FrameLayouts& layouts) {
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

    for (const settings::LabelSpec& described : settings::panelLabels()) {
        auto* label = new QLabel(qs(described.caption), frame(described.frame));
        label->setToolTip(qs(described.tooltip));
        label->setFixedHeight(kControlHeight);
        layouts[static_cast<int>(described.frame)]->add(described.row, settings::Placement::Left, nullptr, label);
    }

    for (const settings::ButtonSpec& described : settings::panelButtons()) {
        QWidget* parent = described.frame ? static_cast<QWidget*>(frame(*described.frame)) : this;
        auto* button = new QPushButton(qs(described.caption), parent);
        button->setObjectName(qs(described.name));
        button->setToolTip(qs(described.tooltip));
        connect(button, &QPushButton::clicked, this, handlers.value(static_cast<int>(described.action)));
        if (described.rect) {
            // The table fixes this one's place: it lies right of the wide width, out of view.
            button->setGeometry(twips_.rect(*described.rect));
            continue;
        }
        button->setFixedHeight(described.heightPixels);
        FrameLayout& layout = *layouts[static_cast<int>(*described.frame)];
        if (described.widthPixels > 0) {
            button->setFixedWidth(described.widthPixels);
            layout.addAtRightEnd(described.row, button);
        } else {
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            layout.add(described.row, described.placement, nullptr, button);
        }
    }
}

void MainWindow::loadInitialValues() {
    lines_ = settings::EdgeLines{};
    for (settings::EdgeGroup group : settings::kEdgeGroups) {
        lines_.of(group) = settings::defaultLineSpec();
        const settings::SampleImage* image = settings::sampleImageFor(lines_.of(group));
        showPreview(group, image ? qs(image->name) : QString());
    }
    for (const settings::ControlSpec& described : settings::panelControls()) {
        if (QComboBox* list = combo(described.key)) {
            list->clear();
            for (std::string_view item : described.items) list->addItem(qs(item));
            list->setEditText(qs(described.defaultText));
        } else if (QCheckBox* tick = check(described.key)) {
            tick->setChecked(described.defaultChecked);
        }
    }
}

void MainWindow::setSettingsFileName(const QString& name) {
    const QString title = qs(settings::kMainCaption);
    setWindowTitle(name.isEmpty() ? title : title + QStringLiteral(" - ") + name);
}

settings::FieldTexts MainWindow::fieldTexts() const {
    settings::FieldTexts texts;
    for (const settings::ControlSpec& described : settings::panelControls()) {
        std::string& text = texts[static_cast<std::size_t>(settings::fieldIndex(described.key))];
        if (const QComboBox* list = combo(described.key))
            text = utf8(list->currentText());
        else if (const QCheckBox* tick = check(described.key))
            text = std::string(tick->isChecked() ? "1" : "0");
    }
    for (settings::EdgeGroup group : settings::kEdgeGroups) {
        const settings::LineSpec& line = lines_.of(group);
        texts[static_cast<std::size_t>(settings::fieldIndex(settings::edgeGroupField(group)))] =
            line.style + "/" + line.width;
    }
    return texts;
}

void MainWindow::applyAssignments(const std::vector<settings::SettingAssignment>& assignments) {
    for (const settings::SettingAssignment& assignment : assignments) {
        const settings::ControlSpec* described = settings::findField(assignment.field);
        if (!described) continue;
        if (QComboBox* list = combo(described->key)) {
            list->setEditText(qs(assignment.text));
        } else if (QCheckBox* tick = check(described->key)) {
            tick->setChecked(assignment.text == "1");
        } else {
            for (settings::EdgeGroup group : settings::kEdgeGroups) {
                settings::LineSpec line;
                if (settings::edgeGroupField(group) != described->key ||
                    settings::parseLineSpecText(assignment.field, assignment.text, group, line))
                    continue;
                lines_.of(group) = line;
                const settings::SampleImage* image = settings::sampleImageFor(line);
                showPreview(group, image ? qs(image->name) : QString());
            }
        }
    }
}

settings::FormatSettings MainWindow::formatSettings() const {
    const settings::NumberLocale locale = panelNumberLocale();
    settings::FormatSettings read = settings::defaultFormatSettings(locale);
    for (const settings::ControlSpec& described : settings::panelControls()) {
        if (const QComboBox* list = combo(described.key))
            settings::setText(read, described.key, utf8(list->currentText()), locale);
        else if (const QCheckBox* tick = check(described.key))
            settings::setChecked(read, described.key, tick->isChecked());
    }
    for (settings::EdgeGroup group : settings::kEdgeGroups)
        settings::setLine(read, settings::edgeGroupField(group), lines_.of(group), locale);
    return read;
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
    if (std::abs(width - settings::kWideWidthTwips) < std::ceil(twips_.twipsPerPixelX()))
        width = settings::kWideWidthTwips;
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

void MainWindow::updateWidthDetails() {
    const bool visible = settings::widthDetailsVisible(utf8(combo(settings::Field::TableWidthMode)->currentText()));
    combo(settings::Field::SpecifiedWidthCm)->setVisible(visible);
    combo(settings::Field::LeftIndentCm)->setVisible(visible);
}

// ---- line styles -------------------------------------------------------------------------------

const QPixmap& MainWindow::sampleImage(const QString& name) const {
    static const QPixmap none;
    const auto it = samples_.constFind(name);
    return it == samples_.constEnd() ? none : *it;
}

void MainWindow::showPreview(settings::EdgeGroup group, const QString& imageName) {
    preview(group)->setPixmap(sampleImage(imageName));
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
            documentSeen_ = true;
        }
    } catch (const std::exception&) {
        // Word no longer answers.
        endProgram();
    }
}

void MainWindow::openDocument() {
    if (welcome_) welcome_->hide();
    callWord([this](const QString& text) { showMessage(text); },
             [&] { word_->Dialogs()->Item(automation::wdDialogFileOpen)->Show(); });
}

// A command runs to its end before the next may start (a message box it shows lets other clicks
// and ticks through). A failure that the command itself does not handle is shown, and the main
// window comes back.
void MainWindow::runCommand(const QString& name, const std::function<void()>& command) {
    if (running_ || ended_) return;
    running_ = true;
    emit commandStarted(name);
    if (!callWord([this](const QString& text) { showMessage(text); }, command)) host_->showMainWindow();
    running_ = false;
    emit commandEnded();
}

bool MainWindow::settingsRefused(const std::optional<std::string>& problem) {
    if (!problem) return false;
    showMessage(QString::fromStdString(*problem));
    return true;
}

void MainWindow::startFormatRun() {
    if (running_ || ended_) return;
    // Checked as the command line checks them, before the document is touched.
    if (settingsRefused(settings::checkTableSettings(formatSettings()))) return;
    const bool single = singleTable_ && singleTable_->isVisible();
    runCommand(qs(settings::commandName(settings::ButtonAction::FormatRun, single)), [this, single] {
        engine::FormatRun run(*word_, *host_);
        run.run(formatSettings(), single ? engine::Scope::SelectedTable : engine::Scope::WholeDocument);
        emit formatRunReported(run.passedOver(), single);
    });
}

void MainWindow::enterSingleTableMode() {
    if (!singleTable_) {
        singleTable_ = new SingleTableWindow;
        connect(singleTable_, &SingleTableWindow::okRequested, this, &MainWindow::startFormatRun);
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
    if (running_ || ended_) return;
    if (settingsRefused(settings::checkBodySettings(formatSettings()))) return;
    runCommand(qs(settings::commandName(settings::ButtonAction::FormatBodyText)),
               [this] { bodytext::formatBodyText(*word_, formatSettings(), *host_); });
}

void MainWindow::convertEmbeddedSheets() {
    if (!excel_) {
        showMessage(QString::fromUtf8(kEmbeddedSheetsUnavailable));
        return;
    }
    runCommand(qs(settings::commandName(settings::ButtonAction::ConvertEmbeddedSheets)),
               [this] { utilities::convertEmbeddedSheets(*word_, *excel_, *host_); });
}

void MainWindow::tidyTables() {
    runCommand(qs(settings::commandName(settings::ButtonAction::TidyTables)),
               [this] { utilities::tidyTables(*word_, *host_); });
}

void MainWindow::removeEmptyRows() {
    runCommand(qs(settings::commandName(settings::ButtonAction::RemoveEmptyRows)),
               [this] { utilities::deleteEmptyRows(*word_, *host_); });
}

void MainWindow::removeExternalLinks() {
    runCommand(qs(settings::commandName(settings::ButtonAction::RemoveExternalLinks)),
               [this] { utilities::unlinkFields(*word_, *host_); });
}

void MainWindow::openCompanionWorkbook() {
    // Opened with the desktop's program for .xls files; the check box beside the label stays as it is.
    // It lies beside the program (a build tree), or with the program's data when installed
    // (PREFIX/share/gridwright beside PREFIX/bin).
    const QDir folder(QCoreApplication::applicationDirPath());
    const QString name = qs(settings::kCompanionWorkbookName);
    const QStringList places = {folder.filePath(name),
                                QDir::cleanPath(folder.filePath(QStringLiteral("../share/gridwright/") + name))};
    const auto found =
        std::find_if(places.begin(), places.end(), [](const QString& p) { return QFileInfo::exists(p); });
    if (found == places.end()) {
        QStringList shown;
        for (const QString& place : places) shown << QDir::toNativeSeparators(place);
        showMessage(QStringLiteral("找不到配套工作簿“%1”。查找的位置：%2").arg(name, shown.join(QStringLiteral("、"))));
        return;
    }
    const QString path = *found;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        showMessage(QStringLiteral("无法打开配套工作簿“%1”：系统中没有打开 .xls 文件的程序。")
                        .arg(QDir::toNativeSeparators(path)));
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
    if (welcome_) welcome_->hide();
    if (singleTable_) singleTable_->hide();
    if (picker_) picker_->close();
    if (about_) about_->close();
    hide();
    emit programEnded();
}

void MainWindow::reopen() {
    if (ended_) {
        ended_ = false;
        documentWatch_->start();
    }
    host_->showMainWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    endProgram();
}

}  // namespace shell
