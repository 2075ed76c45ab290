// The main window's panel as data: frames, controls with their labels, items and defaults, the
// command buttons, the standalone labels, the window constants and the values set at load.
// The windows create their widgets from this; the runs read the same names.
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
inline constexpr int kNarrowWidthTwips = 7275;   // after load: left column of frames only
inline constexpr int kWideWidthTwips = 13395;    // both columns
inline constexpr int kClientWidthTwips = 13272;  // designed client area
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
enum class FrameColumn { Left, Right };

struct TwipRect {
    int left;
    int top;
    int width;
    int height;

    bool operator==(const TwipRect&) const = default;
};

struct FrameSpec {
    PanelFrame id;
    std::string_view caption;
    FrameColumn column;
    TwipRect rect;  // in the window's client area
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

// How a control's value becomes a FormatSettings field.
enum class ValueKind {
    Numeric,  // converted to a single-precision number unless the text is exactly "不变"
    Choice,   // acts only on an exact item text; anything else is absent, like "不变"
    Check,    // boolean
    Line,     // a LineSpec set through the picker
    None,     // no run reads it
};

enum class Unit { None, Centimetres, Lines, Characters, Points };

// Where a control stands within its row of the frame (label and control pairs, left pair first).
enum class Placement { Left, Middle, Right, Whole };

// What a press on the control's label does besides nothing.
enum class LabelAction {
    None,
    OpenPickerOnDoubleClick,  // "上下边框", "左右边框", "内横竖线"
    OpenCompanionWorkbook,    // "数字加千分位符号" (does not toggle its check box)
};

struct ControlSpec {
    std::string_view name;  // "Combo8", "Check3", "Picture21"; empty for the alignment icons
    ControlKind kind;
    PanelFrame frame;
    int row;  // 1-based, from the top of the frame
    Placement placement;
    std::string_view label;         // caption of the label beside the control; empty when none
    std::string_view labelTooltip;  // tooltip of that label
    std::string_view caption;       // a check box's own caption
    std::string_view tooltip;       // tooltip of the control itself
    std::vector<std::string_view> items;  // list items in order
    std::string_view defaultText;   // text after load: "不变", "调整到页面宽度" or the placeholder
    std::string_view placeholder;   // "指定宽度" (Combo13), "左缩进" (Combo6), else empty
    bool defaultChecked;            // check boxes: value after load
    bool initiallyVisible;          // Combo13 and Combo6 start hidden
    ValueKind value;
    Unit unit;
    std::string_view field;  // FormatSettings field it feeds; empty when none (Combo4, icons)
    LabelAction labelAction;
};

// Every control of the panel, frame by frame in the frame order above, each frame in row order.
const std::vector<ControlSpec>& panelControls();

// The control with this name, or nullptr (also for an empty name).
const ControlSpec* findControl(std::string_view name);

// The control that feeds this FormatSettings field, or nullptr.
const ControlSpec* findControlForField(std::string_view field);

// The controls of one frame, in row order.
std::vector<const ControlSpec*> controlsOf(PanelFrame frame);

// ---- buttons and standalone labels -----------------------------------------------------------

enum class ButtonAction {
    FormatRun,              // "开   始": the table run
    About,                  // "使 用 说 明"
    ToggleWidth,            // "更多功能 >>"
    ConvertEmbeddedSheets,  // embedded spreadsheet objects to Word tables
    TidyTables,             // "整理表格"
    RemoveEmptyRows,
    RemoveExternalLinks,
    FormatBodyText,         // "开  始" of "表外文字排版"
    EnterSingleTableMode,   // the hidden entry button "1"
};

struct ButtonSpec {
    ButtonAction action;
    std::string_view name;  // "Command1" ...; empty where the button has no fixed name
    std::string_view caption;
    std::string_view tooltip;
    std::optional<PanelFrame> frame;  // none: stands directly in the client area
    std::optional<TwipRect> rect;     // fixed geometry where one is prescribed
};

const std::vector<ButtonSpec>& panelButtons();
const ButtonSpec& findButton(ButtonAction action);
const ButtonSpec* findButton(std::string_view name);

// Texts that stand beside a command button and are not part of a settings control.
struct LabelSpec {
    std::string_view caption;
    std::string_view tooltip;
    PanelFrame frame;
    ButtonAction button;  // the button the text belongs to
};

const std::vector<LabelSpec>& panelLabels();

// ---- values at load --------------------------------------------------------------------------

enum class LoadStepKind {
    ResetLines,  // all three LineSpecs to style "1", width "8"
    FillList,    // add the control's items in order, then show `text`
    SetCheck,    // set the check box to `checked`
};

struct LoadStep {
    LoadStepKind kind;
    std::string_view control;  // empty for ResetLines
    std::string_view text;     // FillList: the text the box shows afterwards
    bool checked;              // SetCheck
};

// The initial values of the panel in the order the load step sets them.
const std::vector<LoadStep>& loadSteps();

}  // namespace settings
