#include "shell/page_view.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace shell {

namespace {

constexpr int kGap = 12;                        // pixels between pages and around them
constexpr double kHundredPercent = 1.0 / 15.0;  // 1440 twips an inch, 96 pixels an inch
constexpr int kMinPercent = 20;
constexpr int kMaxPercent = 400;

}  // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("PageView"));
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Base, QColor(0x80, 0x80, 0x80));
    viewport()->setPalette(palette);
    // A scroll bar that came and went would change the width that fit-width zooms to, and with it
    // the height that needs the scroll bar.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    setFocusPolicy(Qt::StrongFocus);
}

double PageView::scale() const {
    if (!fitWidth_) return zoom_;
    if (widestPage_ <= 0) return kHundredPercent;
    const int available = std::max(100, viewport()->width() - 2 * kGap);
    return std::clamp(static_cast<double>(available) / widestPage_, kHundredPercent * kMinPercent / 100,
                      kHundredPercent * kMaxPercent / 100);
}

int PageView::zoomPercent() const { return static_cast<int>(std::lround(scale() / kHundredPercent * 100)); }

void PageView::setFitWidth() {
    fitWidth_ = true;
    relayout();
    emit zoomChanged();
}

void PageView::setZoomPercent(int percent) {
    const int current = currentPage();
    fitWidth_ = false;
    zoom_ = kHundredPercent * std::clamp(percent, kMinPercent, kMaxPercent) / 100;
    relayout();
    if (current < tops_.size()) verticalScrollBar()->setValue(tops_[current] - kGap);
    emit zoomChanged();
}

void PageView::setPages(const QVector<QRect>& pages, bool complete) {
    pages_ = pages;
    complete_ = complete;
    widestPage_ = 0;
    for (const QRect& page : pages_) widestPage_ = std::max(widestPage_, page.width());
    images_.resize(pages.size());
    fresh_.fill(false);
    fresh_.resize(pages.size());
    drawn_.fill(false);
    drawn_.resize(pages.size());
    notice_.clear();
    relayout();
}

void PageView::setPageImage(int page, const QImage& image) {
    if (page < 0 || page >= images_.size()) return;
    images_[page] = image;
    const int wanted = static_cast<int>(std::lround(pageRectOnCanvas(page).width() * devicePixelRatioF()));
    fresh_[page] = image.width() == wanted;
    drawn_[page] = fresh_[page];
    dropFarPictures();
    viewport()->update();
}

// A 400-page document would otherwise keep a picture of every page the user scrolled past.
void PageView::dropFarPictures() {
    std::vector<std::pair<int, int>> kept;  // (distance from the page in sight, page)
    const int current = currentPage();
    for (int i = 0; i < images_.size(); ++i)
        if (!images_[i].isNull()) kept.emplace_back(std::abs(i - current), i);
    if (static_cast<int>(kept.size()) <= kKeptPictures) return;
    std::sort(kept.begin(), kept.end());
    for (std::size_t k = kKeptPictures; k < kept.size(); ++k) {
        const int page = kept[k].second;
        images_[page] = QImage();
        fresh_[page] = false;
        drawn_[page] = false;
    }
}

void PageView::setTablePlaces(const QVector<TablePlace>& places) {
    places_ = places;
    viewport()->update();
}

void PageView::setSelectedTable(int table) {
    if (selected_ == table) return;
    selected_ = table;
    viewport()->update();
}

void PageView::setUpdating(bool updating) {
    if (updating_ == updating) return;
    updating_ = updating;
    viewport()->update();
}

void PageView::setNotice(const QString& text) {
    notice_ = text;
    if (!text.isEmpty()) {
        pages_.clear();
        images_.clear();
        fresh_.clear();
        drawn_.clear();
        places_.clear();
        relayout();
    }
    viewport()->update();
}

void PageView::relayout() {
    const double s = scale();
    tops_.resize(pages_.size());
    int y = kGap;
    int widest = 0;
    for (int i = 0; i < pages_.size(); ++i) {
        tops_[i] = y;
        y += static_cast<int>(std::lround(pages_[i].height() * s)) + kGap;
        widest = std::max(widest, static_cast<int>(std::lround(pages_[i].width() * s)));
    }
    canvasWidth_ = widest + 2 * kGap;
    canvasHeight_ = y;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, canvasHeight_ - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, canvasWidth_ - viewport()->width()));
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < fresh_.size(); ++i) {
        if (images_[i].width() != static_cast<int>(std::lround(pageRectOnCanvas(i).width() * ratio))) {
            fresh_[i] = false;
            drawn_[i] = false;
        }
    }
    viewport()->update();
}

QRect PageView::pageRectOnCanvas(int page) const {
    const double s = scale();
    const int width = static_cast<int>(std::lround(pages_[page].width() * s));
    const int height = static_cast<int>(std::lround(pages_[page].height() * s));
    const int left = std::max(kGap, (std::max(canvasWidth_, viewport()->width()) - width) / 2);
    return QRect(left, tops_.value(page), width, height);
}

QPoint PageView::canvasOffset() const { return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()); }

int PageView::currentPage() const {
    const int y = verticalScrollBar()->value();
    const auto it = std::upper_bound(tops_.begin(), tops_.end(), y + kGap);
    return std::max(0, static_cast<int>(it - tops_.begin()) - 1);
}

std::optional<QPoint> PageView::documentPoint(const QPoint& viewportPoint) const {
    const QPoint canvas = viewportPoint + canvasOffset();
    const double s = scale();
    for (int i = 0; i < pages_.size(); ++i) {
        const QRect rect = pageRectOnCanvas(i);
        if (!rect.contains(canvas)) continue;
        return QPoint(pages_[i].x() + static_cast<int>((canvas.x() - rect.x()) / s),
                      pages_[i].y() + static_cast<int>((canvas.y() - rect.y()) / s));
    }
    return std::nullopt;
}

QPoint PageView::viewportPoint(const QPoint& documentTwips) const {
    const double s = scale();
    for (int i = 0; i < pages_.size(); ++i) {
        if (!pages_[i].contains(documentTwips)) continue;
        const QRect rect = pageRectOnCanvas(i);
        return QPoint(rect.x() + static_cast<int>((documentTwips.x() - pages_[i].x()) * s),
                      rect.y() + static_cast<int>((documentTwips.y() - pages_[i].y()) * s)) -
               canvasOffset();
    }
    return QPoint(-1, -1);
}

int PageView::tableAt(const QPoint& documentTwips) const {
    for (const TablePlace& place : places_)
        if (place.rect.contains(documentTwips)) return place.table;
    return 0;
}

void PageView::scrollToTable(int table) {
    for (const TablePlace& place : places_) {
        if (place.table != table || place.page >= pages_.size()) continue;
        const QRect page = pageRectOnCanvas(place.page);
        const int top = page.y() + static_cast<int>((place.rect.y() - pages_[place.page].y()) * scale());
        const int visibleTop = verticalScrollBar()->value();
        if (top < visibleTop || top > visibleTop + viewport()->height() - 40)
            verticalScrollBar()->setValue(top - kGap * 2);
        return;
    }
}

bool PageView::visiblePagesDrawn() const {
    if (pages_.isEmpty()) return false;
    const QRect visible(canvasOffset(), viewport()->size());
    for (int i = 0; i < pages_.size(); ++i)
        if (pageRectOnCanvas(i).intersects(visible) && !drawn_[i]) return false;
    return true;
}

void PageView::askForVisiblePages() {
    const QRect visible(canvasOffset(), viewport()->size());
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < pages_.size(); ++i) {
        const QRect rect = pageRectOnCanvas(i);
        if (rect.top() > visible.bottom()) break;
        if (!rect.intersects(visible) || fresh_[i]) continue;
        fresh_[i] = true;  // asked for; a picture of another width clears it again
        emit pageWanted(i, static_cast<int>(std::lround(rect.width() * ratio)));
    }
    const int page = currentPage();
    if (page != lastPage_) {
        lastPage_ = page;
        emit currentPageChanged(page);
    }
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    if (!notice_.isEmpty() || pages_.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(viewport()->rect().adjusted(20, 20, -20, -20),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, notice_);
    }
    const QRect visible(canvasOffset(), viewport()->size());
    painter.translate(-canvasOffset());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double s = scale();
    for (int i = 0; i < pages_.size(); ++i) {
        const QRect rect = pageRectOnCanvas(i);
        if (rect.top() > visible.bottom()) break;
        if (!rect.intersects(visible)) continue;
        if (images_[i].isNull())
            painter.fillRect(rect, Qt::white);
        else
            painter.drawImage(rect, images_[i]);
        for (const TablePlace& place : places_) {
            if (place.table != selected_ || place.page != i) continue;
            const QRectF outline(rect.x() + (place.rect.x() - pages_[i].x()) * s,
                                 rect.y() + (place.rect.y() - pages_[i].y()) * s, place.rect.width() * s,
                                 place.rect.height() * s);
            painter.setPen(QPen(QColor(0x1E, 0x6F, 0xD9), 2));
            painter.setBrush(QColor(0x1E, 0x6F, 0xD9, 28));
            painter.drawRect(outline.adjusted(-2, -2, 2, 2));
        }
    }
    painter.resetTransform();
    if (updating_) {
        const QString text = QStringLiteral("正在更新显示…");
        const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-8, -4, 8, 4);
        const QRect placed(viewport()->width() - box.width() - 12, 8, box.width(), box.height());
        painter.fillRect(placed, QColor(255, 250, 205));
        painter.setPen(Qt::black);
        painter.drawText(placed, Qt::AlignCenter, text);
    }
    // Asking is cheap; the renderer answers later through setPageImage.
    askForVisiblePages();
}

void PageView::resizeEvent(QResizeEvent* event) {
    const int percent = zoomPercent();
    QAbstractScrollArea::resizeEvent(event);
    relayout();
    // Fitting the width zooms with the window.
    if (zoomPercent() != percent) emit zoomChanged();
}

void PageView::scrollContentsBy(int, int) { viewport()->update(); }

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        // A touchpad or a free-running wheel sends small parts of a notch: they add up to one.
        wheelRest_ += event->angleDelta().y();
        const int steps = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
        wheelRest_ -= steps * QWheelEvent::DefaultDeltasPerStep;
        if (steps != 0) setZoomPercent(zoomPercent() + steps * 10);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    if (const auto point = documentPoint(event->position().toPoint())) emit clicked(*point);
}

void PageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const auto point = documentPoint(event->position().toPoint())) emit doubleClicked(*point);
}

void PageView::contextMenuEvent(QContextMenuEvent* event) {
    if (const auto point = documentPoint(event->pos())) emit contextMenuWanted(*point, event->globalPos());
}

}  // namespace shell
