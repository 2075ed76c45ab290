#include "shell/picker_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "shell/clickable_picture.h"
#include "shell/line_samples.h"
#include "shell/utf8.h"

namespace shell {

namespace {

constexpr int kRowHeight = 24;
constexpr int kSampleWidth = 128;
constexpr int kOptionWidth = 22;
constexpr int kNoLineWidth = 60;
constexpr int kColumnGap = 28;  // between one column's option buttons and the next column's samples
constexpr int kNoLineRow = 5;   // the "不显示" row stands in the double-line column, below its samples

int columnIndex(settings::SampleColumn column) { return static_cast<int>(column); }

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
    auto* frames = new QVBoxLayout(this);
    frames->setContentsMargins(8, 8, 8, 8);
    frames->setSpacing(8);
    frames->setSizeConstraint(QLayout::SetFixedSize);
    for (settings::EdgeGroup group : settings::kEdgeGroups) frames->addWidget(buildFrame(group));
}

// A frame is a grid: each column of samples is one picture spanning the rows of its lines, with the
// option buttons in the grid column to its right, one per row, level with their lines.
QWidget* PickerWindow::buildFrame(settings::EdgeGroup group) {
    using settings::SampleColumn;
    auto* frame = new QGroupBox(qs(settings::edgeGroupCaption(group)), this);
    frame->setObjectName(frameName(group));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(10, 4, 10, 10);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);

    auto* buttons = new QButtonGroup(this);
    buttons->setExclusive(true);
    groups_[static_cast<int>(group)] = buttons;
    auto& samples = samples_[static_cast<int>(group)];

    const std::vector<const settings::PickerOption*> options = settings::pickerOptionsOf(group);
    int rows = 0;
    for (SampleColumn column : {SampleColumn::Single, SampleColumn::Dotted, SampleColumn::Double}) {
        std::vector<const settings::SampleImage*> images;
        for (const settings::PickerOption* option : options)
            if (option->column == column) images.push_back(settings::findSampleImage(option->sampleImage));
        if (images.empty()) continue;
        const int lines = static_cast<int>(images.size());
        rows = std::max(rows, lines);
        auto* picture = new ClickablePicture(frame);
        picture->setObjectName(sampleName(column));
        picture->setPixmap(sampleColumnPixmap(images, kSampleWidth, kRowHeight));
        picture->setFixedSize(kSampleWidth, kRowHeight * lines);
        picture->setToolTip(qs(settings::sampleTooltip(group, column)));
        // The tooltips promise it: a double-click on a sample closes the window, and so does a
        // single click on the single lines of the top and bottom frame.
        connect(picture, &ClickablePicture::doubleClicked, this, &QWidget::close);
        if (group == settings::EdgeGroup::TopBottom && column == SampleColumn::Single)
            connect(picture, &ClickablePicture::clicked, this, &QWidget::close);
        grid->addWidget(picture, 0, 2 * columnIndex(column), lines, 1, Qt::AlignTop | Qt::AlignLeft);
        samples[columnIndex(column)] = picture;
    }

    for (const settings::PickerOption* option : options) {
        auto* button = new QRadioButton(frame);
        const QString name = qs(option->name);
        button->setObjectName(name);
        button->setAccessibleName(name);
        button->setFixedSize(kOptionWidth, kRowHeight);
        int row = option->row - 1;
        int column = 2 * columnIndex(option->column) + 1;
        if (option->column == SampleColumn::NoLine) {
            row = kNoLineRow;
            column = 2 * columnIndex(SampleColumn::Double) + 1;
            rows = std::max(rows, row + 1);
            auto* place = new QHBoxLayout;
            place->setSpacing(4);
            auto* label = new QLabel(qs(settings::kNoLineCaption), frame);
            label->setObjectName(QStringLiteral("LabelNoLine"));
            label->setFixedSize(kNoLineWidth, kRowHeight);
            auto* blank = new ClickablePicture(frame);
            blank->setObjectName(sampleName(SampleColumn::NoLine));
            blank->setPixmap(
                samplePixmap(*settings::findSampleImage(option->sampleImage), QSize(kNoLineWidth, kRowHeight)));
            blank->setFixedSize(kNoLineWidth, kRowHeight);
            connect(blank, &ClickablePicture::doubleClicked, this, &QWidget::close);
            place->addWidget(label);
            place->addWidget(blank);
            place->addStretch(1);
            grid->addLayout(place, row, column - 1);
            samples[columnIndex(SampleColumn::NoLine)] = blank;
        }
        grid->addWidget(button, row, column, Qt::AlignLeft | Qt::AlignVCenter);
        buttons->addButton(button);
        options_.insert(name, button);
        connect(button, &QRadioButton::toggled, this, [this, name](bool on) {
            if (on) emit optionChosen(name);
        });
    }

    // Every frame has the same size: seven rows, three columns of samples and buttons.
    for (int row = 0; row < std::max(rows, 7); ++row) grid->setRowMinimumHeight(row, kRowHeight);
    for (int column = 0; column < 3; ++column) {
        grid->setColumnMinimumWidth(2 * column, kSampleWidth);
        grid->setColumnMinimumWidth(2 * column + 1, kOptionWidth + kColumnGap);
    }
    grid->setColumnStretch(6, 1);  // any width to spare goes right of the columns
    return frame;
}

QRadioButton* PickerWindow::option(const QString& name) const { return options_.value(name); }

QButtonGroup* PickerWindow::group(settings::EdgeGroup group) const { return groups_[static_cast<int>(group)]; }

ClickablePicture* PickerWindow::samplePicture(settings::EdgeGroup group, settings::SampleColumn column) const {
    return samples_[static_cast<int>(group)][columnIndex(column)];
}

}  // namespace shell
