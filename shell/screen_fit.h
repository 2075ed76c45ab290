// Keeps every window of the program on its screen: a window about to be shown whose frame would
// reach past the screen's available area is moved in, and one larger than that area is made smaller
// where it may be resized. Windows of a fixed size keep their size and are only placed.
#pragma once

#include <QObject>

class QWidget;

namespace shell {

class ScreenFit : public QObject {
    Q_OBJECT
public:
    // Watches every window of the application while it lives.
    explicit ScreenFit(QObject* parent = nullptr);
    ~ScreenFit() override;

    // Moves (and where it may, resizes) window so that its frame lies within its screen's available area.
    static void fit(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace shell
