// Form3, the line-style picker: one frame per edge group with the samples of the lines it offers and
// an option button beside each; a click on an option hands its name to the main window at once.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "settings/line_spec.h"
#include "winshell/gui.h"

namespace winshell {

class PickerWindow final : public Window {
public:
    // chosen receives the option's name ("Option20") when an option becomes selected.
    explicit PickerWindow(std::function<void(std::string_view option)> chosen);

    void show();
    // The option button of this name; null when there is none.
    HWND option(std::string_view name) const;
    // The picture that shows a frame's column of samples; null when the frame has no such column.
    HWND samplePicture(settings::EdgeGroup group, settings::SampleColumn column) const;
    std::string tooltipOf(HWND control) const { return tooltips_->textOf(control); }

private:
    struct Samples {
        HWND window;
        settings::EdgeGroup group;
        settings::SampleColumn column;
        std::vector<const settings::SampleImage*> images;
    };

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void build();
    void layout() override;
    void command(int id, int notification);

    std::function<void(std::string_view)> onChosen_;
    std::unique_ptr<Tooltips> tooltips_;
    std::vector<Samples> samples_;
    std::vector<HWND> options_;  // one per pickerOptions() entry
    std::vector<HWND> frames_;   // one per edge group
    HWND noLineLabel_ = nullptr;
};

}  // namespace winshell
