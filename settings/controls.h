// The main window's panel as data: frames, the fields with their controls, labels, items, defaults
// and parse, the command buttons, the standalone labels and the window constants. The windows create
// their widgets from this; the settings record, the settings files and the command line read the same
// table by FormatSettings field.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace settings {

// First item of every settings list: leave this property of the document as it is.
inline constexpr std::string_view kUnchanged = "不变";

// ---- main window -----------------------------------------------------------------------------

inline constexpr std::string_view kMainFormName = "Form4";
inline constexpr std::string_view kMainCaption = "Gridwright";
inline constexpr int kNarrowWidthTwips = 7275;  // after load: left column of frames only
inline constexpr int kWideWidthTwips = 13395;   // both columns
inline constexpr int kClientHeightTwips = 6648;
inline constexpr int kWidthDetailIntervalMs = 100;  // polling of the width-detail boxes
inline constexpr int kPreviewWidthPixels = 140;     // line preview boxes
inline constexpr int kPreviewHeightPixels = 28;

// The outer width "更多功能 >>" gives the window: narrow when it is exactly wide, else wide.
int toggledWindowWidth(int outerWidthTwips);

// Whether the width-detail boxes (Combo13, Combo6) are shown for this text of Combo7.
bool widthDetailsVisible(std::string_view tableWidthText);

// ---- frames ----------------------------------------------------------------------------------

enum class PanelFrame { TableSettings, TableText, Alignment, EmbeddedExcel, Other, BodyText };

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
    int rows;       // rows of controls, spread evenly over the frame's height  // in the window's client area
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

// How a field's text becomes its typed value in FormatSettings.
enum class Parse {
    Number,  // a single-precision number unless the text is exactly "不变"
    Choice,  // acts only on an exact item text; anything else is absent, like "不变"
    Check,   // boolean
    Line,    // a LineSpec set through the picker
    None,    // no command reads it
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

// One field of the panel: the FormatSettings field it feeds, the widget that holds it and how its text
// is read. The windows create their widgets from it, the settings files and the command line name
// the field.
struct ControlSpec {
    std::string_view field = {};  // "RowHeightCm"; empty for the two controls no command reads (Combo4, icons)
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
    Parse parse = Parse::None;
    LabelAction labelAction = LabelAction::None;

    // The name a message gives the field: its label, or the placeholder of a box without one.
    std::string_view displayName() const { return label.empty() ? defaultText : label; }
};

// Every control of the panel, frame by frame in the frame order above, each frame in row order.
const std::vector<ControlSpec>& panelControls();

// The control that feeds this FormatSettings field, or nullptr (also for an empty field).
const ControlSpec* findField(std::string_view field);

// The control of this field; the field must be one of the table's.
const ControlSpec& fieldSpec(std::string_view field);

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
