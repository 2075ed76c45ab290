#include "winshell/picker_window.h"

#include "winshell/line_samples.h"

namespace winshell {

namespace {

using settings::EdgeGroup;
using settings::SampleColumn;

// Sizes in pixels at 96 dots per inch.
constexpr int kRowHeight = 24;
constexpr int kRows = 7;
constexpr int kSampleWidth = 128;
constexpr int kColumnPitch = 160;
constexpr int kFrameWidth = 3 * kColumnPitch + 10;
constexpr int kFrameHeight = 26 + kRows * kRowHeight + 10;
constexpr int kMargin = 8;
constexpr int kNoLineRow = 6;  // the "不显示" row stands in the double-line column, below its samples

constexpr int kOptionIds = 100;
constexpr int kSampleIds = 500;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

int columnIndex(SampleColumn column) {
    switch (column) {
        case SampleColumn::Single: return 0;
        case SampleColumn::Dotted: return 1;
        case SampleColumn::Double:
        case SampleColumn::NoLine: break;
    }
    return 2;
}

int frameTop(EdgeGroup group) { return kMargin + static_cast<int>(group) * (kFrameHeight + kMargin); }

}  // namespace

PickerWindow::PickerWindow(std::function<void(std::string_view option)> chosen) : onChosen_(std::move(chosen)) {
    create(L"GridwrightForm3", settings::kPickerCaption, kStyle, 0, 0);
    dpi_ = Dpi::of(hwnd());
    font_ = createUiFont(dpi_);
    tooltips_ = std::make_unique<Tooltips>(hwnd());
    tooltips_->setFont(font_.get());
    build();
    layout();
}

void PickerWindow::build() {
    HFONT font = font_.get();
    // The pictures first, then each frame's options as one group (arrow keys move within it), then the
    // frames themselves at the bottom of the order.
    int id = kSampleIds;
    for (EdgeGroup group : settings::kEdgeGroups) {
        const std::vector<const settings::PickerOption*> options = settings::pickerOptionsOf(group);
        for (SampleColumn column :
             {SampleColumn::Single, SampleColumn::Dotted, SampleColumn::Double, SampleColumn::NoLine}) {
            std::vector<const settings::SampleImage*> images;
            for (const settings::PickerOption* option : options)
                if (option->column == column) images.push_back(settings::findSampleImage(option->sampleImage));
            if (images.empty()) continue;
            HWND picture = createControl(hwnd(), L"STATIC", "", WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, id++, font);
            tooltips_->add(picture, settings::sampleTooltip(group, column));
            samples_.push_back({picture, group, column, std::move(images)});
            if (column == SampleColumn::NoLine)
                noLineLabel_ = createControl(hwnd(), L"STATIC", settings::kNoLineCaption,
                                             WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, id++, font);
        }
    }
    EdgeGroup previous = EdgeGroup::Inner;
    bool first = true;
    int index = 0;
    for (const settings::PickerOption& option : settings::pickerOptions()) {
        const bool starts = first || option.group != previous;
        options_.push_back(createControl(hwnd(), L"BUTTON", "",
                                         WS_VISIBLE | BS_AUTORADIOBUTTON | (starts ? WS_GROUP | WS_TABSTOP : 0),
                                         kOptionIds + index++, font));
        previous = option.group;
        first = false;
    }
    for (EdgeGroup group : settings::kEdgeGroups)
        frames_.push_back(createControl(hwnd(), L"BUTTON", settings::edgeGroupCaption(group),
                                        WS_VISIBLE | WS_GROUP | BS_GROUPBOX, 0, font));
}

void PickerWindow::layout() {
    auto at = [&](HWND window, int x, int y, int width, int height) {
        SetWindowPos(window, nullptr, dpi_.scaled(x), dpi_.scaled(y), dpi_.scaled(width), dpi_.scaled(height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (EdgeGroup group : settings::kEdgeGroups)
        at(frames_[static_cast<size_t>(group)], kMargin, frameTop(group), kFrameWidth, kFrameHeight);
    for (const Samples& samples : samples_) {
        const int left = kMargin + 10 + columnIndex(samples.column) * kColumnPitch;
        const int top = frameTop(samples.group) + 24;
        if (samples.column == SampleColumn::NoLine) {
            at(noLineLabel_, left, top + (kNoLineRow - 1) * kRowHeight, 60, kRowHeight);
            at(samples.window, left + 64, top + (kNoLineRow - 1) * kRowHeight, 60, kRowHeight);
        } else {
            at(samples.window, left, top, kSampleWidth, kRowHeight * static_cast<int>(samples.images.size()));
        }
    }
    const auto& options = settings::pickerOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        const int row = options[i].column == SampleColumn::NoLine ? kNoLineRow : options[i].row;
        at(options_[i], kMargin + 10 + columnIndex(options[i].column) * kColumnPitch + kSampleWidth + 4,
           frameTop(options[i].group) + 24 + (row - 1) * kRowHeight, 22, kRowHeight);
    }
    const SIZE outer = outerSize(kStyle, dpi_.scaled(kFrameWidth + 2 * kMargin),
                                 dpi_.scaled(frameTop(EdgeGroup::Inner) + kFrameHeight + kMargin), dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PickerWindow::show() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

HWND PickerWindow::option(std::string_view name) const {
    const auto& options = settings::pickerOptions();
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i].name == name) return options_[i];
    return nullptr;
}

HWND PickerWindow::samplePicture(EdgeGroup group, SampleColumn column) const {
    for (const Samples& samples : samples_)
        if (samples.group == group && samples.column == column) return samples.window;
    return nullptr;
}

void PickerWindow::command(int id, int notification) {
    const auto& options = settings::pickerOptions();
    if (id >= kOptionIds && id < kOptionIds + static_cast<int>(options.size())) {
        // Only the option that is now selected acts.
        const size_t index = static_cast<size_t>(id - kOptionIds);
        if (notification == BN_CLICKED && SendMessageW(options_[index], BM_GETCHECK, 0, 0) == BST_CHECKED)
            onChosen_(options[index].name);
        return;
    }
    for (const Samples& samples : samples_) {
        if (GetDlgCtrlID(samples.window) != id) continue;
        // As the tooltips promise: a double-click on a sample closes the window, and so does a single
        // click on the single lines of the top and bottom frame.
        const bool closes =
            notification == STN_DBLCLK || (notification == STN_CLICKED && samples.group == EdgeGroup::TopBottom &&
                                           samples.column == SampleColumn::Single);
        if (closes) DestroyWindow(hwnd());
        return;
    }
}

LRESULT PickerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const Samples& samples : samples_) {
                if (samples.window != item.hwndItem) continue;
                const int rowHeight = dpi_.scaled(kRowHeight);
                RECT row = item.rcItem;
                for (const settings::SampleImage* image : samples.images) {
                    row.bottom = row.top + rowHeight;
                    drawSample(item.hDC, row, image, dpi_, font_.get());
                    row.top = row.bottom;
                }
            }
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return controlColour(reinterpret_cast<HDC>(wParam));
        case WM_DPICHANGED: {
            dpi_ = Dpi(LOWORD(wParam));
            font_ = createUiFont(dpi_);
            EnumChildWindows(
                hwnd(),
                [](HWND child, LPARAM font) -> BOOL {
                    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(font_.get()));
            layout();
            return 0;
        }
        default: return Window::handle(message, wParam, lParam);
    }
}

}  // namespace winshell
