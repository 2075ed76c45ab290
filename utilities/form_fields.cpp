#include "utilities/form_fields.h"

#include <algorithm>
#include <array>

namespace utilities {

bool isFormField(std::string_view code) {
    static constexpr std::array<std::string_view, 3> kFormFields = {"FORMCHECKBOX", "FORMTEXT", "FORMDROPDOWN"};
    const auto start = code.find_first_not_of(" \t");
    if (start == std::string_view::npos) return false;
    code.remove_prefix(start);
    const std::string_view name = code.substr(0, code.find_first_of(" \t\\"));
    for (std::string_view form : kFormFields) {
        if (name.size() != form.size()) continue;
        if (std::equal(name.begin(), name.end(), form.begin(),
                       [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; }))
            return true;
    }
    return false;
}

FormFieldPositions::FormFieldPositions(automation::Document& document, commands::PassOver& passOver)
    : document_(document), passOver_(passOver) {
    read();
}

void FormFieldPositions::read() {
    read_.clear();
    passOver_.run([&] {
        automation::FieldsPtr fields = document_.Fields();
        const int count = fields->Count();
        for (int i = 1; i <= count; ++i) {
            passOver_.run([&] {
                automation::FieldPtr field = fields->Item(i);
                if (isFormField(field->Code())) read_.push_back(field->Result()->Start());
            });
        }
    });
    std::sort(read_.begin(), read_.end());
    shift_.assign(read_.size() + 1, 0);
    gone_.assign(read_.size(), false);
}

int FormFieldPositions::positionOf(std::size_t field) const {
    int moved = 0;
    for (std::size_t i = field + 1; i > 0; i -= i & (~i + 1)) moved += shift_[i];
    return read_[field] + moved;
}

void FormFieldPositions::shiftFrom(std::size_t field, int delta) {
    for (std::size_t i = field + 1; i < shift_.size(); i += i & (~i + 1)) shift_[i] += delta;
}

// Fields keep their order as they move (those removed stay at the place of the removal), so the
// positions can be searched.
std::size_t FormFieldPositions::firstFrom(int position) const {
    std::size_t low = 0, high = read_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (positionOf(middle) < position)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool FormFieldPositions::within(int start, int end) const {
    for (std::size_t i = firstFrom(start); i < read_.size() && positionOf(i) < end; ++i)
        if (!gone_[i]) return true;
    return false;
}

void FormFieldPositions::removed(int start, int end) {
    if (end <= start) return;
    std::size_t i = firstFrom(start);
    for (; i < read_.size() && positionOf(i) < end; ++i) {
        gone_[i] = true;
        const int back = start - positionOf(i);
        shiftFrom(i, back);
        shiftFrom(i + 1, -back);
    }
    shiftFrom(i, start - end);
}

int FormFieldPositions::storyEnd() {
    int end = -1;
    passOver_.run([&] { end = document_.Content()->End(); });
    return end;
}

bool FormFieldPositions::deleteRows(int start, const std::function<void()>& deletion) {
    if (read_.empty()) return passOver_.run(deletion);
    const int before = storyEnd();
    const bool deleted = passOver_.run(deletion);
    const int after = storyEnd();
    if (before < 0 || after < 0)
        read();
    else
        removed(start, start + before - after);
    return deleted;
}

bool FormFieldPositions::deleteCells(const std::vector<TextStretch>& cells, const std::function<void()>& deletion) {
    if (read_.empty()) return passOver_.run(deletion);
    const int before = storyEnd();
    const bool deleted = passOver_.run(deletion);
    const int after = storyEnd();
    int cellText = 0;
    for (const TextStretch& cell : cells) cellText += cell.end - cell.start;
    if (before < 0 || after < 0 || before - after != (deleted ? cellText : 0)) {
        read();
    } else if (deleted) {
        // The last first, so that the others' positions still hold.
        for (auto cell = cells.rbegin(); cell != cells.rend(); ++cell) removed(cell->start, cell->end);
    }
    return deleted;
}

}  // namespace utilities
