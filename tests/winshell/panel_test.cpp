// The main window and the line-style picker made from the settings table: every frame, label, list,
// check box, picture and button where the table puts it at the window's resolution, with the table's
// texts and defaults, and the panel's own behaviour.
#include <array>

#include "settings/format_settings.h"
#include "settings/line_spec.h"
#include "winshell/panel_layout.h"
#include "winshell/picker_window.h"
#include "winshell/welcome_window.h"
#include "winshell_fixture.h"

using namespace wintest;

namespace {

using Edges = std::array<long, 4>;

Edges edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A child's rectangle in its parent's client area.
Edges placeOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return edges(r);
}

bool inside(const settings::TwipRect& inner, const settings::TwipRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

bool overlap(const settings::TwipRect& a, const settings::TwipRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::vector<std::string> listItems(HWND combo) {
    std::vector<std::string> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        items.push_back(winshell::utf8(item.c_str()));
    }
    return items;
}

class PanelTest : public WinshellTest {
protected:
    int outerWidthTwips() const {
        RECT outer{};
        GetWindowRect(main->hwnd(), &outer);
        return main->dpi().twips(outer.right - outer.left);
    }

    // What a list tells its window when the user types into it or picks an item.
    void notify(HWND control, WORD notification) {
        SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), notification),
                     reinterpret_cast<LPARAM>(control));
        pump();
    }
};

TEST_F(PanelTest, EveryPieceOfTheTableStandsAtItsTwipsAt96And144Dpi) {
    const winshell::PanelLayout& layout = winshell::panelLayout();
    const winshell::PanelWindows& windows = main->panelWindows();
    const auto& frames = settings::panelFrames();
    const auto& controls = settings::panelControls();

    // The layout itself: every piece inside its frame, and no two pieces of a frame on each other.
    std::vector<std::pair<settings::PanelFrame, settings::TwipRect>> pieces;
    for (size_t i = 0; i < controls.size(); ++i) {
        pieces.emplace_back(controls[i].frame, layout.controls[i]);
        if (layout.labels[i]) pieces.emplace_back(controls[i].frame, *layout.labels[i]);
    }
    for (size_t i = 0; i < settings::panelButtons().size(); ++i)
        if (settings::panelButtons()[i].frame)
            pieces.emplace_back(*settings::panelButtons()[i].frame, layout.buttons[i]);
    for (size_t i = 0; i < settings::panelLabels().size(); ++i)
        pieces.emplace_back(settings::panelLabels()[i].frame, layout.texts[i]);
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_TRUE(inside(pieces[i].second, settings::frameSpec(pieces[i].first).rect)) << "piece " << i;
        for (size_t j = i + 1; j < pieces.size(); ++j)
            EXPECT_FALSE(overlap(pieces[i].second, pieces[j].second)) << "pieces " << i << " and " << j;
    }

    for (int dpi : {96, 144}) {
        if (main->dpi().value() != dpi) {
            RECT suggested{};
            GetWindowRect(main->hwnd(), &suggested);
            SendMessageW(main->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        const winshell::Dpi at(dpi);
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(placeOf(windows.frames[i]), edges(at.rect(layout.frames[i]))) << frames[i].name << " " << dpi;
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(placeOf(windows.controls[i]), edges(at.rect(layout.controls[i])))
                << controls[i].name << " " << dpi;
            if (layout.labels[i]) {
                EXPECT_EQ(placeOf(windows.labels[i]), edges(at.rect(*layout.labels[i])))
                    << controls[i].label << " " << dpi;
            }
        }
        for (size_t i = 0; i < windows.buttons.size(); ++i)
            EXPECT_EQ(placeOf(windows.buttons[i]), edges(at.rect(layout.buttons[i])))
                << settings::panelButtons()[i].name << " " << dpi;
        for (size_t i = 0; i < windows.texts.size(); ++i)
            EXPECT_EQ(placeOf(windows.texts[i]), edges(at.rect(layout.texts[i]))) << i << " " << dpi;
        // The narrow width stays narrow at the new resolution, to within a pixel.
        EXPECT_NEAR(outerWidthTwips(), settings::kNarrowWidthTwips, at.twips(1)) << dpi;
    }
}

TEST_F(PanelTest, WindowsCarryTheTablesTextsAndDefaults) {
    EXPECT_EQ(winshell::windowText(main->hwnd()), settings::kMainCaption);
    EXPECT_EQ(main->formatSettings(), settings::defaultFormatSettings(settings::NumberLocale{}));
    const winshell::PanelWindows& windows = main->panelWindows();
    const auto& controls = settings::panelControls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const settings::ControlSpec& c = controls[i];
        HWND w = windows.controls[i];
        EXPECT_EQ(IsWindowVisible(w) != FALSE, c.initiallyVisible) << c.name;
        EXPECT_EQ(main->tooltipOf(w), c.tooltip) << c.name;
        if (!c.label.empty()) {
            EXPECT_EQ(winshell::windowText(windows.labels[i]), c.label);
            EXPECT_EQ(main->tooltipOf(windows.labels[i]), c.labelTooltip) << c.label;
        }
        if (c.kind == settings::ControlKind::ComboBox) {
            EXPECT_EQ(listItems(w), std::vector<std::string>(c.items.begin(), c.items.end())) << c.name;
            EXPECT_EQ(winshell::windowText(w), c.defaultText) << c.name;
        } else if (c.kind == settings::ControlKind::CheckBox) {
            EXPECT_EQ(winshell::windowText(w), c.caption) << c.name;
        }
    }
    for (size_t i = 0; i < windows.frames.size(); ++i)
        EXPECT_EQ(winshell::windowText(windows.frames[i]), settings::panelFrames()[i].caption);
    for (size_t i = 0; i < windows.buttons.size(); ++i) {
        EXPECT_EQ(winshell::windowText(windows.buttons[i]), settings::panelButtons()[i].caption);
        EXPECT_EQ(main->tooltipOf(windows.buttons[i]), settings::panelButtons()[i].tooltip);
    }
    for (size_t i = 0; i < windows.texts.size(); ++i) {
        EXPECT_EQ(winshell::windowText(windows.texts[i]), settings::panelLabels()[i].caption);
        EXPECT_EQ(main->tooltipOf(windows.texts[i]), settings::panelLabels()[i].tooltip);
    }
    for (settings::EdgeGroup group : settings::kEdgeGroups) EXPECT_EQ(main->previewImage(group), "Picture5");

    // The width-detail boxes follow the text of "表格宽度", typed or picked, and keep their texts.
    HWND widthMode = control("Combo7");
    winshell::setWindowText(widthMode, "指定宽度");
    winshell::setWindowText(control("Combo13"), "12");
    notify(widthMode, CBN_EDITCHANGE);
    EXPECT_TRUE(IsWindowVisible(control("Combo13")));
    EXPECT_TRUE(IsWindowVisible(control("Combo6")));
    SendMessageW(widthMode, CB_SETCURSEL, 1, 0);  // "调整到页面宽度"
    notify(widthMode, CBN_SELCHANGE);
    EXPECT_FALSE(IsWindowVisible(control("Combo13")));
    EXPECT_FALSE(IsWindowVisible(control("Combo6")));
    EXPECT_EQ(winshell::windowText(control("Combo13")), "12");

    // "更多功能 >>" widens the window and narrows it again.
    EXPECT_NEAR(outerWidthTwips(), settings::kNarrowWidthTwips, main->dpi().twips(1));
    click(control("CommandMore"));
    EXPECT_NEAR(outerWidthTwips(), settings::kWideWidthTwips, main->dpi().twips(1));
    click(control("CommandMore"));
    EXPECT_NEAR(outerWidthTwips(), settings::kNarrowWidthTwips, main->dpi().twips(1));
}

TEST_F(PanelTest, PickerChoicesWriteTheirLinesAndPreviews) {
    // A double-click on a group's label opens the picker; a single click does not.
    const auto& controls = settings::panelControls();
    const auto topBottom = std::find_if(controls.begin(), controls.end(),
                                        [](const settings::ControlSpec& c) { return c.name == "Picture21"; });
    HWND label = main->panelWindows().labels[static_cast<size_t>(topBottom - controls.begin())];
    press(label);
    EXPECT_EQ(main->pickerWindow(), nullptr);
    press(label, true);
    ASSERT_NE(main->pickerWindow(), nullptr);
    winshell::PickerWindow& picker = *main->pickerWindow();
    EXPECT_EQ(winshell::windowText(picker.hwnd()), settings::kPickerCaption);

    click(picker.option("Option20"));  // "不显示": no left and right lines, the width as it was
    EXPECT_EQ(main->lines().LeftRightLine, (settings::LineSpec{"", "8"}));
    EXPECT_EQ(main->previewImage(settings::EdgeGroup::LeftRight), "Picture24");
    click(picker.option("Option50"));  // inner, dotted, 1.5 pt
    EXPECT_EQ(main->lines().InnerLine, (settings::LineSpec{"2", "12"}));
    EXPECT_EQ(main->lines().LeftRightLine, (settings::LineSpec{"", "8"}));
    EXPECT_EQ(main->previewImage(settings::EdgeGroup::Inner), "Picture13");
    EXPECT_EQ(SendMessageW(picker.option("Option20"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(picker.tooltipOf(picker.samplePicture(settings::EdgeGroup::TopBottom, settings::SampleColumn::Single)),
              "点击图片可以关闭窗体\r\n");

    // A double-click on a sample closes the picker; opened again from a preview it shows no choice,
    // and the choices made stay.
    press(picker.samplePicture(settings::EdgeGroup::Inner, settings::SampleColumn::Dotted), true);
    EXPECT_EQ(main->pickerWindow(), nullptr);
    press(control("Picture23"));
    ASSERT_NE(main->pickerWindow(), nullptr);
    for (const settings::PickerOption& option : settings::pickerOptions())
        EXPECT_EQ(SendMessageW(main->pickerWindow()->option(option.name), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(main->lines().InnerLine, (settings::LineSpec{"2", "12"}));
    EXPECT_EQ(main->lines().TopBottomLine, settings::defaultLineSpec());
}

}  // namespace
