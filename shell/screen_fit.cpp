#include "shell/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace shell {

namespace {

// Until the window system has framed a window its frame is not known: room is kept for a title bar.
constexpr int kTitleBar = 32;
constexpr int kBorder = 4;

}  // namespace

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

ScreenFit::~ScreenFit() { qApp->removeEventFilter(this); }

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && !(widget->windowFlags() & Qt::Popup) && widget->windowType() != Qt::ToolTip)
            fit(widget);
    }
    return false;
}

void ScreenFit::fit(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect inner = window->geometry();
    const QRect frame = window->frameGeometry();
    QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                     frame.bottom() - inner.bottom());
    if (margins.isNull()) margins = QMargins(kBorder, kTitleBar, kBorder, kBorder);
    const QSize room = area.size().shrunkBy(margins);
    if ((inner.width() > room.width() || inner.height() > room.height()) &&
        window->minimumSize() != window->maximumSize())
        window->resize(window->size().boundedTo(room).expandedTo(window->minimumSize()));
    // move() places the frame's top left corner.
    QRect outer(window->pos(), window->size().grownBy(margins));
    if (outer.right() > area.right()) outer.moveRight(area.right());
    if (outer.bottom() > area.bottom()) outer.moveBottom(area.bottom());
    if (outer.left() < area.left()) outer.moveLeft(area.left());
    if (outer.top() < area.top()) outer.moveTop(area.top());
    if (outer.topLeft() != window->pos()) window->move(outer.topLeft());
}

}  // namespace shell
