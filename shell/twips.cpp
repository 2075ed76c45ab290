#include "shell/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace shell {

Twips Twips::ofScreen(const QScreen* screen) {
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return Twips();
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    return Twips(dpiX > 0 ? dpiX : 96.0, dpiY > 0 ? dpiY : 96.0);
}

Twips Twips::of(const QWidget* widget) { return ofScreen(widget ? widget->screen() : nullptr); }

int Twips::x(int twips) const { return static_cast<int>(std::lround(twips * dpiX_ / 1440.0)); }

int Twips::y(int twips) const { return static_cast<int>(std::lround(twips * dpiY_ / 1440.0)); }

QRect Twips::rect(const settings::TwipRect& r) const { return QRect(x(r.left), y(r.top), x(r.width), y(r.height)); }

int Twips::twipsX(int pixels) const { return static_cast<int>(std::lround(pixels * 1440.0 / dpiX_)); }

int Twips::twipsY(int pixels) const { return static_cast<int>(std::lround(pixels * 1440.0 / dpiY_)); }

}  // namespace shell
