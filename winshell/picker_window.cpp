#include "winshell/picker_window.h"

#include "settings/picker_layout.h"
#include "winshell/line_samples.h"

namespace winshell {

namespace {

using settings::EdgeGroup;
using settings::SampleColumn;

constexpr int kOptionIds = 100;
constexpr int kSampleIds = 500;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

PickerWindow::PickerWindow(std::function<void(std::string_view option)> chosen) : onChosen_(std::move(chosen)) {
    create(L"GridwrightForm3", settings::kPickerCaption, kStyle);
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
    // The shared places are in pixels at 96 dots per inch; the pieces of a frame stand in its place.
    auto at = [&](HWND window, const settings::PixelRect& place, const settings::PixelRect& frame) {
        SetWindowPos(window, nullptr, dpi_.scaled(frame.left + place.left), dpi_.scaled(frame.top + place.top),
                     dpi_.scaled(place.width), dpi_.scaled(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const settings::PixelRect client{0, 0, 0, 0};
    for (EdgeGroup group : settings::kEdgeGroups)
        at(frames_[static_cast<size_t>(group)], settings::pickerFrame(group), client);
    for (const Samples& samples : samples_) {
        const settings::PixelRect frame = settings::pickerFrame(samples.group);
        at(samples.window, settings::pickerSamples(samples.column, static_cast<int>(samples.images.size())), frame);
        if (samples.column == SampleColumn::NoLine) at(noLineLabel_, settings::pickerNoLineLabel(), frame);
    }
    const auto& options = settings::pickerOptions();
    for (size_t i = 0; i < options.size(); ++i)
        at(options_[i], settings::pickerOption(options[i]), settings::pickerFrame(options[i].group));
    const SIZE outer = outerSize(kStyle, dpi_.scaled(settings::pickerClientWidth()),
                                 dpi_.scaled(settings::pickerClientHeight()), dpi_);
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
                const int rowHeight = dpi_.scaled(settings::kPickerRowHeight);
                RECT row = item.rcItem;
                for (const settings::SampleImage* image : samples.images) {
                    row.bottom = row.top + rowHeight;
                    drawSample(item.hDC, row, image, dpi_, font_.get());
                    row.top = row.bottom;
                }
            }
            return TRUE;
        }
        default: return Window::handle(message, wParam, lParam);
    }
}

}  // namespace winshell
