// The main window's panel as data: one table of its fields (key, control, label, unit, items, default,
// the range Word takes, the FormatSettings member it fills), its frames, command buttons, standalone
// labels and the window constants. Every front end iterates it: the windows create their widgets from
// it and build the record through it, the settings files and `--set` name fields by its string names,
// the checks before a run read its ranges.
//
// A new setting is a Field key, a FormatSettings member and one row of the table; the step of a
// command that applies it reads the member. Nothing else names it.
#pragma once

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/field.h"
#include "settings/format_settings.h"

namespace settings {

// ---- main window -----------------------------------------------------------------------------

inline constexpr std::string_view kMainFormName = "Form4";
inline constexpr std::string_view kMainCaption = "Gridwright";
inline constexpr int kNarrowWidthTwips = 7275;  // after load: left column of frames only
inline constexpr int kWideWidthTwips = 13395;   // both columns
inline constexpr int kClientHeightTwips = 6648;
inline constexpr int kPreviewWidthPixels = 140;  // line preview boxes
inline constexpr int kPreviewHeightPixels = 28;

// The outer width "更多功能 >>" gives the window: narrow when it is exactly wide, else wide.
int toggledWindowWidth(int outerWidthTwips);

// Whether the width-detail boxes (Combo13, Combo6) are shown for this text of Combo7.
bool widthDetailsVisible(std::string_view tableWidthText);

// ---- frames ----------------------------------------------------------------------------------

enum class PanelFrame { TableSettings, TableText, Alignment, EmbeddedExcel, Other, BodyText };
inline constexpr int kPanelFrameCount = static_cast<int>(PanelFrame::BodyText) + 1;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;

    bool operator==(const TwipRect&) const = default;
};

struct FrameSpec {
    PanelFrame id;
    std::string_view name;  // the frame's object name
    std::string_view caption;
    TwipRect rect;  // in the window's client area
    int rows;       // rows of controls, spread evenly over the frame's height
};

// The six frames, left column first, top to bottom.
const std::vector<FrameSpec>& panelFrames();
const FrameSpec& frameSpec(PanelFrame frame);

// ---- controls --------------------------------------------------------------------------------

enum class ControlKind {
    ComboBox,        // editable drop-down list: pick an item or type any text
    CheckBox,        // on = checked (value 1)
    LinePreview,     // picture box showing a group's line; a click opens the line-style picker
    AlignmentIcons,  // fixed picture of the three vertical alignments, centre highlighted; no value
};

// Where a control stands within its row of the frame. A row has a left and a right half, each holding a
// label and a control; Middle and Right share the right half when both are in one row.
enum class Placement { Left, Middle, Right, Whole };

// What a press on the control's label does besides nothing.
enum class LabelAction {
    None,
    OpenPickerOnDoubleClick,  // "上下边框", "左右边框", "内横竖线"
    OpenCompanionWorkbook,    // "数字加千分位符号" (does not toggle its check box)
};

// The unit the panel gives a number in.
enum class Unit { None, Centimetres, Lines, Characters, Points };

// The range of the Word property a number ends up in, in that property's unit: points when `inPoints`
// (the panel's centimetres or lines converted by Word's own conversion), else the panel's unit as it
// stands. `shown` is the same range as the user writes it, for the message.
struct WordRange {
    bool inPoints;
    float low;
    float high;
    std::string_view shown;
};

// Which command reads a field, and when.
enum class ReadBy {
    Nothing,          // TableFirstLineIndent, VerticalAlignment
    TableRunAtStart,  // converted when the table run starts: a bad number stops it before any change
    TableRun,         // read by the step of the table run that applies it
    BodyTextAtStart,  // converted when the body-text command starts
    BodyText,         // read by the body-text command as it applies it
};

// The FormatSettings member a field fills. Its type says how the control's value is read:
//   NumericSetting                   a number, locale-aware, "不变" left alone
//   WidthMode, optional<HorizontalAlign>, optional<string>
//                                    an exact item of the list, else absent (like "不变")
//   optional<float>                  a Chinese font-size name, in points
//   bool                             a check box
//   LineNumbers                      a LineSpec set through the picker
//   monostate                        none (no command reads the control)
using Member =
    std::variant<std::monostate, NumericSetting FormatSettings::*, WidthMode FormatSettings::*,
                 std::optional<HorizontalAlign> FormatSettings::*, std::optional<std::string> FormatSettings::*,
                 std::optional<float> FormatSettings::*, bool FormatSettings::*, LineNumbers FormatSettings::*>;

// One field of the panel: its key, the widget that holds it, where it stands, its texts, how it is read
// and which member of FormatSettings it fills.
struct ControlSpec {
    Field key;
    std::string_view field = {};  // the name in settings files and --set: "RowHeightCm"; empty for Combo4, icons
    std::string_view name = {};   // the widget's object name: "Combo8", "Check3", "Picture21"; empty for the icons
    ControlKind kind;
    PanelFrame frame;
    int row;  // 1-based, from the top of the frame
    Placement placement;
    std::string_view label = {};               // caption of the label beside the control; empty when none
    std::string_view labelTooltip = {};        // tooltip of that label
    std::string_view caption = {};             // a check box's own caption
    std::string_view tooltip = {};             // tooltip of the control itself
    std::vector<std::string_view> items = {};  // list items in order
    std::string_view defaultText = {};  // text after load: "不变", "调整到页面宽度" or the box's placeholder
    bool defaultChecked = false;        // check boxes: value after load
    bool initiallyVisible = true;       // Combo13 and Combo6 start hidden
    LabelAction labelAction = LabelAction::None;
    Unit unit = Unit::None;
    std::optional<WordRange> range = {};  // numbers: what Word takes
    ReadBy readBy = ReadBy::Nothing;
    Member member = {};

    // The name a message gives the field: its label, or the placeholder of a box without one.
    std::string_view displayName() const { return label.empty() ? defaultText : label; }
};

// Every control of the panel in Field order (frame by frame, each frame in row order).
const std::vector<ControlSpec>& panelControls();

// The row of this key.
const ControlSpec& fieldSpec(Field key);

// The row whose string name (settings files, --set) is this, or nullptr (also for an empty name).
const ControlSpec* findField(std::string_view field);

// ---- buttons and standalone labels -----------------------------------------------------------

enum class ButtonAction {
    FormatRun,              // "开   始": the table run
    About,                  // "使 用 说 明"
    ToggleWidth,            // "更多功能 >>"
    ConvertEmbeddedSheets,  // embedded spreadsheet objects to Word tables
    TidyTables,             // "整理表格"
    RemoveEmptyRows,
    RemoveExternalLinks,
    FormatBodyText,        // "开  始" of "表外文字排版"
    EnterSingleTableMode,  // the hidden entry button "1"
};

struct ButtonSpec {
    ButtonAction action;
    std::string_view name;  // the object name: "Command1" ...
    std::string_view caption;
    std::string_view tooltip;
    std::optional<PanelFrame> frame;  // none: stands directly in the client area, at `rect`
    int row;                          // in its frame, as a control's
    Placement placement;
    int widthPixels;  // 0: as wide as its place
    int heightPixels;
    std::optional<TwipRect> rect;  // fixed geometry where one is prescribed
};

const std::vector<ButtonSpec>& panelButtons();

// Texts that stand beside a command button and are not part of a settings control; each fills the
// left half of its button's row.
struct LabelSpec {
    std::string_view caption;
    std::string_view tooltip;
    PanelFrame frame;
    int row;
};

const std::vector<LabelSpec>& panelLabels();

}  // namespace settings
