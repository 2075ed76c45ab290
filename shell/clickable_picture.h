// A picture box that reports clicks and double-clicks (the line previews, the group labels and the
// picker's samples react to them).
#pragma once

#include <QLabel>

namespace shell {

class ClickablePicture : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace shell
