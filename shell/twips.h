// Window geometry is laid out in twips (1440 to the inch); the screen works in pixels. At 96 dots per
// inch a pixel is 15 twips.
#pragma once

#include <QRect>

#include "settings/controls.h"

class QScreen;
class QWidget;

namespace shell {

class Twips {
public:
    explicit Twips(double dpiX = 96.0, double dpiY = 96.0) : dpiX_(dpiX), dpiY_(dpiY) {}

    // The logical resolution of the screen (the primary screen when none is given).
    static Twips ofScreen(const QScreen* screen = nullptr);
    // The screen the widget stands on.
    static Twips of(const QWidget* widget);

    int x(int twips) const;
    int y(int twips) const;
    QRect rect(const settings::TwipRect& r) const;

    int twipsX(int pixels) const;
    int twipsY(int pixels) const;
    double twipsPerPixelX() const { return 1440.0 / dpiX_; }
    double twipsPerPixelY() const { return 1440.0 / dpiY_; }

private:
    double dpiX_;
    double dpiY_;
};

}  // namespace shell
