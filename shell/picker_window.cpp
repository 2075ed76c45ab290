#include "shell/picker_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "settings/picker_layout.h"
#include "shell/clickable_picture.h"
#include "shell/line_samples.h"
#include "shell/utf8.h"

namespace shell {

namespace {

QRect rectOf(const settings::PixelRect& r) { return QRect(r.left, r.top, r.width, r.height); }

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

// The picker's places come from settings/picker_layout.h, which the Win32 picker reads too, so both
// front ends show the same window.
PickerWindow::PickerWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(qs(settings::kPickerFormName));
    setWindowTitle(qs(settings::kPickerCaption));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    for (settings::EdgeGroup group : settings::kEdgeGroups) buildFrame(group);
    setFixedSize(settings::pickerClientWidth(), settings::pickerClientHeight());
}

void PickerWindow::buildFrame(settings::EdgeGroup group) {
    using settings::SampleColumn;
    auto* frame = new QGroupBox(qs(settings::edgeGroupCaption(group)), this);
    frame->setObjectName(frameName(group));
    frame->setGeometry(rectOf(settings::pickerFrame(group)));

    auto* buttons = new QButtonGroup(this);
    buttons->setExclusive(true);
    groups_[static_cast<int>(group)] = buttons;
    auto& samples = samples_[static_cast<int>(group)];

    const std::vector<const settings::PickerOption*> options = settings::pickerOptionsOf(group);
    // One picture per column, holding that column's samples one under the other.
    for (SampleColumn column : {SampleColumn::Single, SampleColumn::Dotted, SampleColumn::Double}) {
        std::vector<const settings::SampleImage*> images;
        for (const settings::PickerOption* option : options)
            if (option->column == column) images.push_back(settings::findSampleImage(option->sampleImage));
        if (images.empty()) continue;
        auto* picture = new ClickablePicture(frame);
        picture->setObjectName(sampleName(column));
        const QRect place = rectOf(settings::pickerSamples(column, static_cast<int>(images.size())));
        picture->setPixmap(sampleColumnPixmap(images, place.width(), settings::kPickerRowHeight));
        picture->setGeometry(place);
        picture->setToolTip(qs(settings::sampleTooltip(group, column)));
        // The tooltips promise it: a double-click on a sample closes the window, and so does a
        // single click on the single lines of the top and bottom frame.
        connect(picture, &ClickablePicture::doubleClicked, this, &QWidget::close);
        if (group == settings::EdgeGroup::TopBottom && column == SampleColumn::Single)
            connect(picture, &ClickablePicture::clicked, this, &QWidget::close);
        samples[columnIndex(column)] = picture;
    }

    for (const settings::PickerOption* option : options) {
        auto* button = new QRadioButton(frame);
        const QString name = qs(option->name);
        button->setObjectName(name);
        button->setAccessibleName(name);
        if (option->column == SampleColumn::NoLine) {
            auto* label = new QLabel(qs(settings::kNoLineCaption), frame);
            label->setObjectName(QStringLiteral("LabelNoLine"));
            label->setGeometry(rectOf(settings::pickerNoLineLabel()));
            auto* blank = new ClickablePicture(frame);
            blank->setObjectName(sampleName(SampleColumn::NoLine));
            const QRect place = rectOf(settings::pickerSamples(SampleColumn::NoLine, 1));
            blank->setPixmap(samplePixmap(*settings::findSampleImage(option->sampleImage), place.size()));
            blank->setGeometry(place);
            connect(blank, &ClickablePicture::doubleClicked, this, &QWidget::close);
            samples[columnIndex(SampleColumn::NoLine)] = blank;
        }
        button->setGeometry(rectOf(settings::pickerOption(*option)));
        buttons->addButton(button);
        options_.insert(name, button);
        connect(button, &QRadioButton::toggled, this, [this, name](bool on) {
            if (on) emit optionChosen(name);
        });
    }
}

QRadioButton* PickerWindow::option(const QString& name) const { return options_.value(name); }

QButtonGroup* PickerWindow::group(settings::EdgeGroup group) const { return groups_[static_cast<int>(group)]; }

ClickablePicture* PickerWindow::samplePicture(settings::EdgeGroup group, settings::SampleColumn column) const {
    return samples_[static_cast<int>(group)][columnIndex(column)];
}

}  // namespace shell
