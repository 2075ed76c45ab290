#include "settings/panel_state.h"

#include "settings/controls.h"

namespace settings {

std::string_view PanelState::text(std::string_view control) const {
    const auto it = texts.find(control);
    return it == texts.end() ? std::string_view() : std::string_view(it->second);
}

bool PanelState::checked(std::string_view control) const {
    const auto it = checks.find(control);
    return it != checks.end() && it->second;
}

void PanelState::setText(std::string_view control, std::string_view text) {
    texts.insert_or_assign(std::string(control), std::string(text));
}

void PanelState::setChecked(std::string_view control, bool on) { checks.insert_or_assign(std::string(control), on); }

PanelState initialPanelState() {
    PanelState state;
    for (const ControlSpec& entry : panelControls()) {
        if (entry.kind == ControlKind::CheckBox) {
            state.setChecked(entry.name, entry.defaultChecked);
        }
    }
    for (const LoadStep& step : loadSteps()) {
        switch (step.kind) {
        case LoadStepKind::ResetLines:
            state.lines = EdgeLines{defaultLineSpec(), defaultLineSpec(), defaultLineSpec()};
            break;
        case LoadStepKind::FillList:
            state.setText(step.control, step.text);
            break;
        case LoadStepKind::SetCheck:
            state.setChecked(step.control, step.checked);
            break;
        }
    }
    return state;
}

}  // namespace settings
