// Form3, the line-style picker: three frames (top and bottom edges, left and right edges, inner
// lines), each with its line samples and one option button per line. A choice takes effect at once;
// the window shows no current choice when it opens.
#pragma once

#include <QHash>
#include <QWidget>

#include <array>

#include "settings/line_spec.h"

class QButtonGroup;
class QRadioButton;

namespace shell {

class ClickablePicture;

class PickerWindow : public QWidget {
    Q_OBJECT
public:
    explicit PickerWindow(QWidget* parent = nullptr);

    // The option button with this name ("Option20"), or nullptr.
    QRadioButton* option(const QString& name) const;
    QButtonGroup* group(settings::EdgeGroup group) const;
    // A sample picture of a frame (the column of single, dotted or double lines, or the blank one).
    ClickablePicture* samplePicture(settings::EdgeGroup group, settings::SampleColumn column) const;

signals:
    // An option button became selected.
    void optionChosen(const QString& name);

private:
    // Places a frame and its pieces where settings/picker_layout.h puts them.
    void buildFrame(settings::EdgeGroup group);

    std::array<QButtonGroup*, settings::kEdgeGroups.size()> groups_{};
    // By group, then by column (single, dotted, double, the blank one); null where a frame has none.
    std::array<std::array<ClickablePicture*, 4>, settings::kEdgeGroups.size()> samples_{};
    QHash<QString, QRadioButton*> options_;
};

}  // namespace shell
