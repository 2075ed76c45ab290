#include "shell/picker_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "shell/clickable_picture.h"
#include "shell/line_samples.h"
#include "shell/utf8.h"

namespace shell {

namespace {

constexpr int kRowHeight = 24;
constexpr int kRows = 7;
constexpr int kSampleWidth = 128;
constexpr int kColumnPitch = 160;
constexpr int kFrameWidth = 3 * kColumnPitch + 10;
constexpr int kFrameHeight = 26 + kRows * kRowHeight + 10;
constexpr int kNoLineRow = 6;  // the "不显示" row stands in the double-line column, below its samples

int columnIndex(settings::SampleColumn column) {
    switch (column) {
        case settings::SampleColumn::Single: return 0;
        case settings::SampleColumn::Dotted: return 1;
        default: return 2;
    }
}

QString frameName(settings::EdgeGroup group) {
    switch (group) {
        case settings::EdgeGroup::TopBottom: return QStringLiteral("FrameTopBottom");
        case settings::EdgeGroup::LeftRight: return QStringLiteral("FrameLeftRight");
        case settings::EdgeGroup::Inner: break;
    }
    return QStringLiteral("FrameInner");
}

QString sampleName(settings::SampleColumn column) {
    switch (column) {
        case settings::SampleColumn::Single: return QStringLiteral("SampleSingle");
        case settings::SampleColumn::Dotted: return QStringLiteral("SampleDotted");
        case settings::SampleColumn::Double: return QStringLiteral("SampleDouble");
        case settings::SampleColumn::NoLine: break;
    }
    return QStringLiteral("SampleNoLine");
}

}  // namespace

PickerWindow::PickerWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(qs(settings::kPickerFormName));
    setWindowTitle(qs(settings::kPickerCaption));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    int top = 8;
    for (settings::EdgeGroup group : settings::kEdgeGroups) {
        buildFrame(group, top);
        top += kFrameHeight + 8;
    }
    setFixedSize(kFrameWidth + 16, top);
}

void PickerWindow::buildFrame(settings::EdgeGroup group, int top) {
    using settings::SampleColumn;
    auto* frame = new QGroupBox(qs(settings::edgeGroupCaption(group)), this);
    frame->setObjectName(frameName(group));
    frame->setGeometry(8, top, kFrameWidth, kFrameHeight);

    auto* buttons = new QButtonGroup(this);
    buttons->setExclusive(true);
    groups_[static_cast<int>(group)] = buttons;

    const std::vector<const settings::PickerOption*> options = settings::pickerOptionsOf(group);
    // One picture per column, holding that column's samples one under the other.
    for (SampleColumn column : {SampleColumn::Single, SampleColumn::Dotted, SampleColumn::Double}) {
        std::vector<const settings::SampleImage*> images;
        for (const settings::PickerOption* option : options)
            if (option->column == column) images.push_back(settings::findSampleImage(option->sampleImage));
        if (images.empty()) continue;
        auto* picture = new ClickablePicture(frame);
        picture->setObjectName(sampleName(column));
        picture->setPixmap(sampleColumnPixmap(images, kSampleWidth, kRowHeight));
        picture->setGeometry(10 + columnIndex(column) * kColumnPitch, 24, kSampleWidth,
                             kRowHeight * static_cast<int>(images.size()));
        picture->setToolTip(qs(settings::sampleTooltip(group, column)));
        // The tooltips promise it: a double-click on a sample closes the window, and so does a
        // single click on the single lines of the top and bottom frame.
        connect(picture, &ClickablePicture::doubleClicked, this, &QWidget::close);
        if (group == settings::EdgeGroup::TopBottom && column == SampleColumn::Single)
            connect(picture, &ClickablePicture::clicked, this, &QWidget::close);
    }

    for (const settings::PickerOption* option : options) {
        auto* button = new QRadioButton(frame);
        const QString name = qs(option->name);
        button->setObjectName(name);
        button->setAccessibleName(name);
        int x = 10 + columnIndex(option->column) * kColumnPitch + kSampleWidth + 4;
        int row = option->row;
        if (option->column == SampleColumn::NoLine) {
            row = kNoLineRow;
            auto* label = new QLabel(qs(settings::kNoLineCaption), frame);
            label->setObjectName(QStringLiteral("LabelNoLine"));
            label->setGeometry(10 + 2 * kColumnPitch, 24 + (row - 1) * kRowHeight, 60, kRowHeight);
            auto* blank = new ClickablePicture(frame);
            blank->setObjectName(sampleName(SampleColumn::NoLine));
            blank->setPixmap(samplePixmap(*settings::findSampleImage(option->sampleImage), QSize(60, kRowHeight)));
            blank->setGeometry(10 + 2 * kColumnPitch + 64, 24 + (row - 1) * kRowHeight, 60, kRowHeight);
            connect(blank, &ClickablePicture::doubleClicked, this, &QWidget::close);
        }
        button->setGeometry(x, 24 + (row - 1) * kRowHeight, 22, kRowHeight);
        buttons->addButton(button);
        connect(button, &QRadioButton::toggled, this, [this, name](bool on) {
            if (on) emit optionChosen(name);
        });
    }
}

QRadioButton* PickerWindow::option(const QString& name) const { return findChild<QRadioButton*>(name); }

QButtonGroup* PickerWindow::group(settings::EdgeGroup group) const { return groups_[static_cast<int>(group)]; }

ClickablePicture* PickerWindow::samplePicture(settings::EdgeGroup group, settings::SampleColumn column) const {
    auto* frame = findChild<QGroupBox*>(frameName(group));
    return frame ? frame->findChild<ClickablePicture*>(sampleName(column)) : nullptr;
}

}  // namespace shell
