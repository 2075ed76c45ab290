// The main window's panel: values after start, the width-detail rule, the width toggle, the label of
// the thousands separators, and the line-style picker with every one of its choices.
#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "settings/controls.h"
#include "shell/clickable_picture.h"
#include "shell/picker_window.h"
#include "shell_fixture.h"

namespace gwtest {
namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

using settings::EdgeGroup;

TEST_F(ShellTest, PanelAfterStartShowsTheDefaults) {
    EXPECT_EQ(main().objectName(), "Form4");
    EXPECT_EQ(main().windowTitle(), "Gridwright");
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().outerWidthTwips(), settings::kNarrowWidthTwips);
    EXPECT_FALSE(main().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(main().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(main().minimumSize(), main().maximumSize());  // fixed size

    for (const settings::ControlSpec& described : settings::panelControls()) {
        SCOPED_TRACE(std::string(described.name));
        if (described.kind == settings::ControlKind::ComboBox) {
            QComboBox* box = combo(std::string(described.name).c_str());
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isEditable());
            QStringList items;
            for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
            QStringList expected;
            for (std::string_view item : described.items) expected << qs(item);
            EXPECT_EQ(items, expected);
            EXPECT_EQ(box->toolTip(), qs(described.tooltip));
        } else if (described.kind == settings::ControlKind::CheckBox) {
            QCheckBox* box = check(std::string(described.name).c_str());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->isChecked(), described.defaultChecked);
            EXPECT_EQ(box->text(), qs(described.caption));
        }
        if (!described.label.empty()) {
            auto* label = main().findChild<QLabel*>(QStringLiteral("Label") + qs(described.name));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), qs(described.label));
            EXPECT_EQ(label->toolTip(), qs(described.labelTooltip));
        }
    }
    // What a run would read right now is exactly the panel as loading leaves it.
    EXPECT_EQ(main().formatSettings(), settings::defaultFormatSettings(shell::panelNumberLocale()));
    EXPECT_EQ(combo("Combo7")->currentText(), "调整到页面宽度");
    EXPECT_EQ(combo("Combo13")->currentText(), "指定宽度");
    EXPECT_EQ(combo("Combo6")->currentText(), "左缩进");
    EXPECT_FALSE(combo("Combo13")->isVisible());
    EXPECT_FALSE(combo("Combo6")->isVisible());
    EXPECT_TRUE(check("Check2")->isChecked());

    for (EdgeGroup group : settings::kEdgeGroups) {
        EXPECT_EQ(previewImage(group), "Picture5");
        EXPECT_EQ(main().preview(group)->size(), QSize(140, 28));
        EXPECT_EQ(main().lines().of(group), settings::defaultLineSpec());
    }
    EXPECT_EQ(documentWatch()->interval(), 3500);
    EXPECT_TRUE(documentWatch()->isActive());

    // Every button of the panel is there with its caption; the entry button "1" lies outside the
    // window even at its wide width, but can take the keyboard focus.
    for (const settings::ButtonSpec& described : settings::panelButtons()) {
        const auto buttons = main().findChildren<QPushButton*>();
        const bool found = std::any_of(buttons.begin(), buttons.end(),
                                       [&](QPushButton* b) { return b->text() == qs(described.caption); });
        EXPECT_TRUE(found) << described.caption;
    }
    QPushButton* entry = button("CommandSingleTable");
    ASSERT_NE(entry, nullptr);
    EXPECT_GE(entry->x(), shell::Twips().x(settings::kWideWidthTwips));
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_NE(entry->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(ShellTest, WidthDetailBoxesFollowTheTextOfTableWidth) {
    QComboBox* mode = combo("Combo7");
    QComboBox* width = combo("Combo13");
    QComboBox* indent = combo("Combo6");

    // Typed, not picked: the rule looks at the text.
    mode->lineEdit()->clear();
    for (const QChar ch : QStringLiteral("指定宽度"))
        QTest::sendKeyEvent(QTest::Click, mode->lineEdit(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    EXPECT_EQ(mode->currentText(), "指定宽度");
    EXPECT_TRUE(width->isVisible());
    EXPECT_TRUE(indent->isVisible());
    // The untouched placeholders are what a run reads.
    EXPECT_EQ(main().formatSettings().SpecifiedWidthCm.text, "指定宽度");
    EXPECT_EQ(main().formatSettings().LeftIndentCm.text, "左缩进");

    width->setEditText(QStringLiteral("12"));
    indent->setCurrentIndex(2);
    mode->setCurrentIndex(mode->findText(QStringLiteral("调整到页面宽度")));
    EXPECT_FALSE(width->isVisible());
    EXPECT_FALSE(indent->isVisible());

    mode->setCurrentIndex(mode->findText(QStringLiteral("指定宽度")));
    EXPECT_TRUE(width->isVisible());
    EXPECT_EQ(width->currentText(), "12");
    EXPECT_EQ(indent->currentText(), "0.4");

    // A near miss is not the item.
    mode->setEditText(QStringLiteral("指定宽度 "));
    EXPECT_FALSE(width->isVisible());
}

TEST_F(ShellTest, MoreFunctionsWidensAndNarrowsTheWindow) {
    QPushButton* more = button("CommandMore");
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->text(), "更多功能 >>");
    QTest::mouseClick(more, Qt::LeftButton);
    EXPECT_EQ(main().outerWidthTwips(), settings::kWideWidthTwips);
    EXPECT_EQ(main().minimumSize(), main().maximumSize());
    QTest::mouseClick(more, Qt::LeftButton);
    EXPECT_EQ(main().outerWidthTwips(), settings::kNarrowWidthTwips);
    EXPECT_EQ(more->text(), "更多功能 >>");
}

TEST_F(ShellTest, ClickOnThousandsLabelLeavesItsCheckBox) {
    auto* label = main().findChild<QLabel*>(QStringLiteral("LabelCheck4"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "数字加千分位符号");
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_FALSE(check("Check4")->isChecked());
    check("Check4")->setChecked(true);
    QTest::mouseClick(label, Qt::LeftButton);
    QTest::mouseDClick(label, Qt::LeftButton);
    EXPECT_TRUE(check("Check4")->isChecked());
    // The companion workbook is not beside the test program: each click says where it was looked for.
    ASSERT_FALSE(messages.isEmpty());
    for (const QString& message : messages)
        EXPECT_TRUE(message.contains(QCoreApplication::applicationDirPath()) && message.contains("2Brindle2012dll.xls"))
            << message.toStdString();
}

// ---- the line-style picker ----------------------------------------------------------------------

shell::PickerWindow* openPickerFromPreview(shell::MainWindow& main, EdgeGroup group) {
    QTest::mouseClick(main.preview(group), Qt::LeftButton);
    return main.pickerWindow();
}

TEST_F(ShellTest, PickerOpensFromPreviewsAndGroupLabels) {
    shell::PickerWindow* picker = openPickerFromPreview(main(), EdgeGroup::Inner);
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->objectName(), "Form3");
    EXPECT_EQ(picker->windowTitle(), "表格上下、左右和内部线型设置");
    EXPECT_FALSE(picker->isModal());
    EXPECT_EQ(picker->group(EdgeGroup::TopBottom)->buttons().size(), 18);
    EXPECT_EQ(picker->group(EdgeGroup::LeftRight)->buttons().size(), 19);
    EXPECT_EQ(picker->group(EdgeGroup::Inner)->buttons().size(), 14);
    for (EdgeGroup group : settings::kEdgeGroups) EXPECT_TRUE(picker->group(group)->exclusive());
    picker->close();
    settle();
    EXPECT_EQ(main().pickerWindow(), nullptr);

    // A single click on a label does nothing; a double-click opens the one picker.
    auto* label = main().findChild<QLabel*>(QStringLiteral("LabelPicture22"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "左右边框");
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(main().pickerWindow(), nullptr);
    QTest::mouseDClick(label, Qt::LeftButton);
    ASSERT_NE(main().pickerWindow(), nullptr);
    shell::PickerWindow* first = main().pickerWindow();
    QTest::mouseDClick(main().findChild<QLabel*>(QStringLiteral("LabelPicture21")), Qt::LeftButton);
    EXPECT_EQ(main().pickerWindow(), first);
}

TEST_F(ShellTest, EveryPickerChoiceWritesItsLineAndPreview) {
    shell::PickerWindow* picker = openPickerFromPreview(main(), EdgeGroup::TopBottom);
    ASSERT_NE(picker, nullptr);
    for (const settings::PickerOption& option : settings::pickerOptions()) {
        SCOPED_TRACE(std::string(option.name));
        QRadioButton* button = picker->option(qs(option.name));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->text().isEmpty());
        settings::EdgeLines expected = main().lines();
        settings::applyPreset(option, expected.of(option.group));
        const QString otherPreviews[2] = {
            previewImage(option.group == EdgeGroup::Inner ? EdgeGroup::TopBottom : EdgeGroup::Inner),
            previewImage(option.group == EdgeGroup::LeftRight ? EdgeGroup::TopBottom : EdgeGroup::LeftRight)};

        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(main().lines(), expected);
        EXPECT_EQ(previewImage(option.group), qs(option.sampleImage));
        EXPECT_EQ(main().preview(option.group)->pixmap().toImage(),
                  main().sampleImage(qs(option.sampleImage)).toImage());
        EXPECT_EQ(previewImage(option.group == EdgeGroup::Inner ? EdgeGroup::TopBottom : EdgeGroup::Inner),
                  otherPreviews[0]);
        EXPECT_EQ(previewImage(option.group == EdgeGroup::LeftRight ? EdgeGroup::TopBottom : EdgeGroup::LeftRight),
                  otherPreviews[1]);
    }
}

TEST_F(ShellTest, NoLineChoiceKeepsWidthAndSurvivesOtherGroups) {
    shell::PickerWindow* picker = openPickerFromPreview(main(), EdgeGroup::LeftRight);
    QTest::mouseClick(picker->option(QStringLiteral("Option33")), Qt::LeftButton);  // single 2.25 pt
    QTest::mouseClick(picker->option(QStringLiteral("Option20")), Qt::LeftButton);  // 不显示
    EXPECT_EQ(main().lines().LeftRightLine, (settings::LineSpec{"", "18"}));
    EXPECT_EQ(previewImage(EdgeGroup::LeftRight), "Picture24");

    QTest::mouseClick(picker->option(QStringLiteral("Option50")), Qt::LeftButton);  // inner dotted 1.5 pt
    EXPECT_EQ(main().lines().InnerLine, (settings::LineSpec{"2", "12"}));
    EXPECT_EQ(main().lines().LeftRightLine, (settings::LineSpec{"", "18"}));
    // Choosing in one frame leaves the selection of the others.
    EXPECT_TRUE(picker->option(QStringLiteral("Option20"))->isChecked());

    // The same choice twice changes nothing more.
    QTest::mouseClick(picker->option(QStringLiteral("Option50")), Qt::LeftButton);
    EXPECT_EQ(main().lines().InnerLine, (settings::LineSpec{"2", "12"}));

    QTest::mouseClick(picker->option(QStringLiteral("Option35")), Qt::LeftButton);  // single 1 pt
    EXPECT_EQ(main().lines().LeftRightLine, (settings::LineSpec{"1", "8"}));

    // Reopened, it shows no choice, and the choices made stay.
    picker->close();
    settle();
    picker = openPickerFromPreview(main(), EdgeGroup::Inner);
    for (EdgeGroup group : settings::kEdgeGroups) EXPECT_EQ(picker->group(group)->checkedButton(), nullptr);
    EXPECT_EQ(main().lines().InnerLine, (settings::LineSpec{"2", "12"}));
    EXPECT_EQ(previewImage(EdgeGroup::Inner), "Picture13");
}

TEST_F(ShellTest, PickerClosesFromItsSamplesAsTheirTooltipsSay) {
    using settings::SampleColumn;
    shell::PickerWindow* picker = openPickerFromPreview(main(), EdgeGroup::TopBottom);
    shell::ClickablePicture* topSingle = picker->samplePicture(EdgeGroup::TopBottom, SampleColumn::Single);
    ASSERT_NE(topSingle, nullptr);
    EXPECT_EQ(topSingle->toolTip(), "点击图片可以关闭窗体\r\n");
    shell::ClickablePicture* innerDotted = picker->samplePicture(EdgeGroup::Inner, SampleColumn::Dotted);
    ASSERT_NE(innerDotted, nullptr);
    EXPECT_EQ(innerDotted->toolTip(), "双击关闭窗体");
    EXPECT_EQ(picker->samplePicture(EdgeGroup::Inner, SampleColumn::Double), nullptr);

    // A single click on another sample keeps the window; a double-click closes it.
    QTest::mouseClick(innerDotted, Qt::LeftButton);
    EXPECT_TRUE(picker->isVisible());
    const settings::EdgeLines before = main().lines();
    QTest::mouseDClick(innerDotted, Qt::LeftButton);
    settle();
    EXPECT_EQ(main().pickerWindow(), nullptr);
    EXPECT_EQ(main().lines(), before);

    picker = openPickerFromPreview(main(), EdgeGroup::TopBottom);
    QTest::mouseClick(picker->samplePicture(EdgeGroup::TopBottom, SampleColumn::Single), Qt::LeftButton);
    settle();
    EXPECT_EQ(main().pickerWindow(), nullptr);
    EXPECT_EQ(main().lines(), before);
}

}  // namespace
}  // namespace gwtest
