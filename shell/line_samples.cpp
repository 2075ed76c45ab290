#include "shell/line_samples.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

#include "shell/utf8.h"

namespace shell {

namespace {

// Line widths are drawn at their size on a 96 dpi screen, but never thinner than one pixel.
double penWidth(double points) { return std::max(1.0, points * 96.0 / 72.0); }

void drawLine(QPainter& painter, double x1, double x2, double y, double points, std::string_view style) {
    const double width = penWidth(points);
    QPen pen(Qt::black);
    pen.setWidthF(width);
    pen.setCapStyle(Qt::FlatCap);
    if (style == "2") {
        pen.setStyle(Qt::CustomDashLine);
        // Dots as long as the line is thick, with gaps of the same length (at least 2 pixels).
        const double dot = std::max(1.0, 2.0 / width);
        pen.setDashPattern({dot, dot});
    }
    painter.setPen(pen);
    if (style == "7") {
        // Two lines of the width with a gap of the same width between them.
        const double gap = std::max(width, 2.0);
        const double offset = (width + gap) / 2.0;
        painter.drawLine(QPointF(x1, y - offset), QPointF(x2, y - offset));
        painter.drawLine(QPointF(x1, y + offset), QPointF(x2, y + offset));
    } else {
        painter.drawLine(QPointF(x1, y), QPointF(x2, y));
    }
}

}  // namespace

void paintSample(QPainter& painter, const QRect& rect, const settings::SampleImage& image) {
    painter.fillRect(rect, Qt::white);
    if (image.style.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    font.setPixelSize(std::clamp(rect.height() * 3 / 7, 9, 13));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int labelWidth = rect.width() * 2 / 5;
    const QRect labelRect(rect.left() + 4, rect.top(), labelWidth - 4, rect.height());
    painter.drawText(labelRect, Qt::AlignVCenter | Qt::AlignLeft, qs(image.label));
    const double y = rect.top() + rect.height() / 2.0;
    drawLine(painter, rect.left() + labelWidth, rect.right() - 6, y, image.widthPoints, image.style);
    painter.restore();
}

QPixmap samplePixmap(const settings::SampleImage& image, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    paintSample(painter, QRect(QPoint(0, 0), size), image);
    return pixmap;
}

QPixmap sampleColumnPixmap(const std::vector<const settings::SampleImage*>& images, int width, int rowHeight) {
    QPixmap pixmap(width, rowHeight * static_cast<int>(std::max<size_t>(images.size(), 1)));
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    int top = 0;
    for (const settings::SampleImage* image : images) {
        if (image) paintSample(painter, QRect(0, top, width, rowHeight), *image);
        top += rowHeight;
    }
    return pixmap;
}

QPixmap verticalAlignmentIcons() {
    constexpr int box = 22;
    constexpr int gap = 6;
    QPixmap pixmap(3 * box + 2 * gap, box);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int i = 0; i < 3; ++i) {
        const QRect r(i * (box + gap), 0, box - 1, box - 1);
        const bool centre = i == 1;
        painter.fillRect(r, centre ? QColor(0xcc, 0xe4, 0xf7) : QColor(Qt::white));
        painter.setPen(centre ? QColor(0x33, 0x66, 0x99) : QColor(Qt::gray));
        painter.drawRect(r);
        // Three short text lines at the top, in the middle or at the bottom of the cell.
        const int first = i == 0 ? 4 : (i == 1 ? 7 : 10);
        painter.setPen(QPen(Qt::black, 1));
        for (int line = 0; line < 3; ++line) {
            const int y = first + line * 3;
            painter.drawLine(r.left() + 5, y, r.right() - 5, y);
        }
    }
    return pixmap;
}

}  // namespace shell
