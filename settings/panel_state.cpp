#include "settings/panel_state.h"

#include "settings/controls.h"

namespace settings {

std::string_view PanelState::text(std::string_view field) const {
    const auto it = texts.find(field);
    return it == texts.end() ? std::string_view() : std::string_view(it->second);
}

bool PanelState::checked(std::string_view field) const {
    const auto it = checks.find(field);
    return it != checks.end() && it->second;
}

void PanelState::setText(std::string_view field, std::string_view text) {
    texts.insert_or_assign(std::string(field), std::string(text));
}

void PanelState::setChecked(std::string_view field, bool on) { checks.insert_or_assign(std::string(field), on); }

PanelState initialPanelState() {
    PanelState state;
    state.lines = EdgeLines{defaultLineSpec(), defaultLineSpec(), defaultLineSpec()};
    for (const ControlSpec& entry : panelControls()) {
        if (entry.field.empty()) {
            continue;
        }
        if (entry.kind == ControlKind::CheckBox) {
            state.setChecked(entry.field, entry.defaultChecked);
        } else if (entry.kind == ControlKind::ComboBox) {
            state.setText(entry.field, entry.defaultText);
        }
    }
    return state;
}

}  // namespace settings
